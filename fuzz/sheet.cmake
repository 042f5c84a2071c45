# Fuzz target of the cell layer.
kastel_fuzz_target(sheet_fuzz sheet_fuzz.cc)
target_link_libraries(sheet_fuzz PRIVATE kastel_sheet)
