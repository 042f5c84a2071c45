# Script output: the floor program; bench/script_bench.sh runs it against `kastel script` and an
# openpyxl generator of the same files.
if(TARGET kastel_xlsx AND TARGET kastel_engines AND TARGET kastel_term)
  add_executable(script_bench script_bench.cc)
  target_link_libraries(script_bench PRIVATE kastel_model kastel_xlsx kastel_term)
endif()
