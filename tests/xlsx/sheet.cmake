# Tests of the cell layer. Workbooks are written on the spot by openpyxl (Debian's, through
# /usr/bin/python3) and LibreOffice from the scripts in fixtures/.
add_executable(sheet_test
  package_fixture.cc
  sheet_a1_test.cc
  sheet_cells_test.cc
  sheet_fixture.cc
  sheet_find_test.cc
  sheet_formula_test.cc
  sheet_links_test.cc
  sheet_read_ahead_test.cc
  sheet_read_test.cc
  sheet_styles_test.cc
  sheet_write_test.cc
)
target_compile_definitions(sheet_test PRIVATE
  KASTEL_SHEET_FIXTURES="${CMAKE_CURRENT_SOURCE_DIR}/fixtures")
target_link_libraries(sheet_test PRIVATE kastel_sheet kastel_test_support GTest::gtest_main)
gtest_discover_tests(sheet_test)
