// Element names in parts that may or may not carry a namespace prefix.
#ifndef KASTEL_XLSX_XML_NAMES_H_
#define KASTEL_XLSX_XML_NAMES_H_

#include <string>
#include <string_view>

#include <pugixml.hpp>

namespace kastel::xlsx {

// "Override" for both <Override> and <ct:Override>.
inline std::string_view LocalName(pugi::xml_node node) {
  std::string_view name = node.name();
  std::size_t colon = name.find(':');
  return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

// `local` with the prefix of `parent`, for a new child in the parent's namespace.
inline std::string ChildName(pugi::xml_node parent, std::string_view local) {
  std::string_view name = parent.name();
  std::size_t colon = name.find(':');
  std::string child(colon == std::string_view::npos ? std::string_view()
                                                    : name.substr(0, colon + 1));
  child += local;
  return child;
}

}  // namespace kastel::xlsx

#endif  // KASTEL_XLSX_XML_NAMES_H_
