# Schema import at scale: bench/import_bench.sh runs it for 250, 500 and 1000 tables.
if(TARGET kastel_xlsx AND TARGET kastel_addin AND TARGET kastel_odbc AND TARGET kastel_term_login)
  add_executable(import_bench import_bench.cc)
  target_link_libraries(import_bench PRIVATE
    kastel_addin kastel_xlsx kastel_term kastel_term_login kastel_odbc)
  target_compile_definitions(import_bench PRIVATE KASTEL_TEMPLATE_FILE="${KASTEL_TEMPLATE_FILE}")
  add_dependencies(import_bench kastel_template)
endif()
