// Small helpers over the XML of workbook parts: elements found by local name whatever prefix a
// writer chose, children inserted at their schema position, relationship ids, names compared
// the way the spreadsheet compares sheet and defined names.
#ifndef KASTEL_XLSX_WORKBOOK_XML_H_
#define KASTEL_XLSX_WORKBOOK_XML_H_

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include <pugixml.hpp>

#include "xlsx/xml_names.h"

namespace kastel::xlsx {

inline constexpr const char* kRelNs =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships";

// The first child element with that local name; empty when none.
pugi::xml_node Child(pugi::xml_node parent, std::string_view local);
// Every child element with that local name, in document order.
std::vector<pugi::xml_node> Children(pugi::xml_node parent, std::string_view local);
// The element's own prefix with `local` appended, so that a new child matches its parent.
std::string QualifiedLike(pugi::xml_node parent, std::string_view local);

// The child `local` of `parent`, created when absent at the place that `order` (the local names
// of the schema's sequence) gives it among the existing children.
pugi::xml_node ChildInOrder(pugi::xml_node parent, std::string_view local,
                            std::initializer_list<std::string_view> order);

// The r:id attribute of an element (any prefix bound to the relationships namespace).
pugi::xml_attribute RelIdAttribute(pugi::xml_node node);

// Sheet and defined names are compared without case (ASCII and full-width Latin letters).
std::string FoldCase(std::string_view text);
bool SameName(std::string_view a, std::string_view b);

// True when the relationship type ends with "/" + `kind`, which covers both the transitional
// and the strict namespaces.
bool IsRelType(std::string_view type, std::string_view kind);

// The folder of a part ("xl/worksheets/" for "xl/worksheets/sheet1.xml") and its file name.
std::string FolderOf(std::string_view part);
std::string FileOf(std::string_view part);

}  // namespace kastel::xlsx

#endif  // KASTEL_XLSX_WORKBOOK_XML_H_
