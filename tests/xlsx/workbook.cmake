# Tests of the workbook layer and the headless application. Workbooks are written on the spot
# by openpyxl (Debian's, through /usr/bin/python3) from fixtures/wb_make.py, read back by
# tests/fixtures/dump_book.py, and converted by LibreOffice.
add_executable(workbook_test
  package_fixture.cc
  workbook_fixture.cc
  workbook_encoding_test.cc
  workbook_many_test.cc
  workbook_bars_test.cc
  workbook_open_test.cc
  workbook_props_test.cc
  workbook_renames_test.cc
  workbook_roundtrip_test.cc
  workbook_sheets_test.cc
  workbook_template_test.cc
)
target_compile_definitions(workbook_test PRIVATE
  KASTEL_WORKBOOK_FIXTURES="${CMAKE_CURRENT_SOURCE_DIR}/fixtures")
target_link_libraries(workbook_test PRIVATE kastel_xlsx kastel_test_support GTest::gtest_main)
gtest_discover_tests(workbook_test)
