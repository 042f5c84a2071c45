find_package(ZLIB REQUIRED)
add_executable(package_test
  package_errors_test.cc
  package_guard_test.cc
  package_rels_test.cc
  package_xml_test.cc
  package_fixture.cc
  package_interop_test.cc
  package_raw_zip.cc
  package_test.cc
)
target_link_libraries(package_test PRIVATE kastel_opc ZLIB::ZLIB kastel_test_support GTest::gtest_main)
gtest_discover_tests(package_test)
