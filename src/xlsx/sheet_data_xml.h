// Small helpers over the pugixml DOM of spreadsheet parts, shared by the cell layer: children
// found by local name (some writers use an "x:" prefix), rich text, and the errors the cell
// layer raises.
#ifndef KASTEL_XLSX_SHEET_DATA_XML_H_
#define KASTEL_XLSX_SHEET_DATA_XML_H_

#include <string>
#include <string_view>

#include <pugixml.hpp>

#include "base/error.h"
#include "xlsx/xml_names.h"

namespace kastel::xlsx {

// The first child element with that local name; empty when none.
pugi::xml_node ChildNamed(pugi::xml_node parent, std::string_view local);
// The prefix with its colon ("x:") of `node`'s name, "" when it has none; new elements get
// the prefix of the element they go into.
std::string PrefixOf(pugi::xml_node node);

// The text of an <si> or <is>: the <t> child, or the runs' <t> joined; phonetic runs (<rPh>)
// left out; _xHHHH_ unescaped.
std::string RichText(pugi::xml_node item);

// Text made fit for an attribute value: malformed UTF-8 becomes U+FFFD and the control
// characters XML 1.0 cannot hold are left out (an attribute has no _xHHHH_ escapes).
std::string AttributeText(std::string_view text);

// Error 1004 with the host's general description, raised for requests the host refuses.
Error HostRefused();
// Error 1004 with a specific description.
Error HostRefused(std::string description);
// kFileFormatError naming the package path and the part.
Error DamagedPart(std::string_view path, std::string_view part, std::string_view what);

}  // namespace kastel::xlsx

#endif  // KASTEL_XLSX_SHEET_DATA_XML_H_
