# The workbook layer of the host adapter: the headless application, workbooks, sheets, names,
# document properties, command bars, events and saving.
add_library(kastel_xlsx STATIC
  ${CMAKE_CURRENT_LIST_DIR}/app_props.cc
  ${CMAKE_CURRENT_LIST_DIR}/application.cc
  ${CMAKE_CURRENT_LIST_DIR}/command_bars.cc
  ${CMAKE_CURRENT_LIST_DIR}/doc_props.cc
  ${CMAKE_CURRENT_LIST_DIR}/names.cc
  ${CMAKE_CURRENT_LIST_DIR}/workbook.cc
  ${CMAKE_CURRENT_LIST_DIR}/workbook_renames.cc
  ${CMAKE_CURRENT_LIST_DIR}/workbook_save.cc
  ${CMAKE_CURRENT_LIST_DIR}/workbook_xml.cc
  ${CMAKE_CURRENT_LIST_DIR}/worksheet.cc
  ${CMAKE_CURRENT_LIST_DIR}/worksheet_copy.cc
  ${CMAKE_CURRENT_LIST_DIR}/worksheet_name.cc
)
target_include_directories(kastel_xlsx PUBLIC ${CMAKE_SOURCE_DIR}/src)
target_link_libraries(kastel_xlsx PUBLIC kastel_sheet kastel_opc kastel_base fmt::fmt)
