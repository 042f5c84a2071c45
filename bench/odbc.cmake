# The ODBC adapter's recordset against psql on a PostgreSQL server of its own.
find_package(benchmark QUIET)
if(TARGET kastel_odbc AND benchmark_FOUND)
  add_executable(recordset_bench recordset_bench.cc
    ${CMAKE_SOURCE_DIR}/tests/odbc/test_databases.cc)
  target_include_directories(recordset_bench PRIVATE ${CMAKE_SOURCE_DIR}/tests/odbc)
  target_link_libraries(recordset_bench PRIVATE kastel_odbc benchmark::benchmark)
endif()
