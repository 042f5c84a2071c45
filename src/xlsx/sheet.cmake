# The cell layer of the workbook host: one worksheet part's cells, the shared-string table,
# the date formats of styles.xml, and the A1 and formula text they use.
add_library(kastel_sheet STATIC
  ${CMAKE_CURRENT_LIST_DIR}/a1.cc
  ${CMAKE_CURRENT_LIST_DIR}/formula.cc
  ${CMAKE_CURRENT_LIST_DIR}/shared_strings.cc
  ${CMAKE_CURRENT_LIST_DIR}/sheet_cells.cc
  ${CMAKE_CURRENT_LIST_DIR}/sheet_clear.cc
  ${CMAKE_CURRENT_LIST_DIR}/sheet_data.cc
  ${CMAKE_CURRENT_LIST_DIR}/sheet_data_cell.cc
  ${CMAKE_CURRENT_LIST_DIR}/sheet_data_index.cc
  ${CMAKE_CURRENT_LIST_DIR}/sheet_data_xml.cc
  ${CMAKE_CURRENT_LIST_DIR}/sheet_find.cc
  ${CMAKE_CURRENT_LIST_DIR}/sheet_links.cc
  ${CMAKE_CURRENT_LIST_DIR}/sheet_read_ahead.cc
  ${CMAKE_CURRENT_LIST_DIR}/styles.cc
)
target_include_directories(kastel_sheet PUBLIC ${CMAKE_SOURCE_DIR}/src)
find_package(Threads REQUIRED)
target_link_libraries(kastel_sheet PUBLIC kastel_opc kastel_base Threads::Threads)
