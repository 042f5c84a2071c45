# The OOXML package layer: zip, parts, content types, relationships, XML plumbing.
find_package(ZLIB REQUIRED)
find_package(Threads REQUIRED)
add_library(kastel_opc STATIC
  ${CMAKE_CURRENT_LIST_DIR}/atomic_file.cc
  ${CMAKE_CURRENT_LIST_DIR}/content_types.cc
  ${CMAKE_CURRENT_LIST_DIR}/deflated_text.cc
  ${CMAKE_CURRENT_LIST_DIR}/deflater.cc
  ${CMAKE_CURRENT_LIST_DIR}/package.cc
  ${CMAKE_CURRENT_LIST_DIR}/package_messages.cc
  ${CMAKE_CURRENT_LIST_DIR}/part_name.cc
  ${CMAKE_CURRENT_LIST_DIR}/relationships.cc
  ${CMAKE_CURRENT_LIST_DIR}/text_escape.cc
  ${CMAKE_CURRENT_LIST_DIR}/xml_io.cc
  ${CMAKE_CURRENT_LIST_DIR}/zip_reader.cc
  ${CMAKE_CURRENT_LIST_DIR}/zip_writer.cc
)
target_include_directories(kastel_opc PUBLIC ${CMAKE_SOURCE_DIR}/src)
target_link_libraries(kastel_opc PUBLIC kastel_base pugixml::pugixml PkgConfig::LIBZIP ZLIB::ZLIB
                      Threads::Threads)
