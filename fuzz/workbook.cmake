# Fuzz target of the workbook's sheet loading.
kastel_fuzz_target(workbook_fuzz workbook_fuzz.cc)
target_link_libraries(workbook_fuzz PRIVATE kastel_xlsx)
