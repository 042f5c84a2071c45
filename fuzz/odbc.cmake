# Fuzz targets of the data adapter.
kastel_fuzz_target(connection_string_fuzz connection_string_fuzz.cc)
target_link_libraries(connection_string_fuzz PRIVATE kastel_odbc)
