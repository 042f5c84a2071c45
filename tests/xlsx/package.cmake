add_executable(package_test
  package_fixture.cc
  package_test.cc
)
target_link_libraries(package_test PRIVATE kastel_opc GTest::gtest_main)
gtest_discover_tests(package_test)
