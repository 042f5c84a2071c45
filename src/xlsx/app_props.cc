#include "xlsx/app_props.h"

#include "xlsx/workbook_xml.h"

namespace kastel::xlsx {
namespace {

// The prefix bound to the variant types namespace in the part, "vt:" as a rule.
std::string VtPrefix(pugi::xml_node root) {
  for (pugi::xml_attribute a = root.first_attribute(); a; a = a.next_attribute()) {
    std::string_view name = a.name();
    if (name.starts_with("xmlns:") && std::string_view(a.value()).ends_with("/docPropsVTypes")) {
      return std::string(name.substr(6)) + ":";
    }
  }
  root.append_attribute("xmlns:vt") =
      "http://schemas.openxmlformats.org/officeDocument/2006/docPropsVTypes";
  return "vt:";
}

std::string FirstLabel(pugi::xml_node pairs) {
  pugi::xml_node vector = Child(pairs, "vector");
  pugi::xml_node variant = Child(vector, "variant");
  for (pugi::xml_node v = variant.first_child(); v; v = v.next_sibling()) {
    if (LocalName(v) == "lpstr" || LocalName(v) == "lpwstr") return v.text().get();
  }
  return "ワークシート";
}

}  // namespace

void RewriteSheetTitles(Package& package, const std::vector<std::string>& worksheets) {
  std::string part;
  for (const auto& rel : package.Relationships("")) {
    if (IsRelType(rel.type, "extended-properties") && !rel.target_part.empty() &&
        package.Has(rel.target_part)) {
      part = rel.target_part;
    }
  }
  if (part.empty()) return;
  pugi::xml_node root = package.Xml(part).document_element();
  pugi::xml_node pairs = Child(root, "HeadingPairs");
  pugi::xml_node titles = Child(root, "TitlesOfParts");
  if (!pairs && !titles) return;
  if (!pairs || !titles) {
    root.remove_child(pairs ? pairs : titles);
    package.MarkModified(part);
    return;
  }
  const std::string vt = VtPrefix(root);
  const std::string label = FirstLabel(pairs);
  pairs.remove_children();
  pugi::xml_node pv = pairs.append_child((vt + "vector").c_str());
  pv.append_attribute("size") = 2;
  pv.append_attribute("baseType") = "variant";
  pv.append_child((vt + "variant").c_str())
      .append_child((vt + "lpstr").c_str())
      .text()
      .set(label.c_str());
  pv.append_child((vt + "variant").c_str())
      .append_child((vt + "i4").c_str())
      .text()
      .set(static_cast<long long>(worksheets.size()));
  titles.remove_children();
  pugi::xml_node tv = titles.append_child((vt + "vector").c_str());
  tv.append_attribute("size") = static_cast<unsigned long long>(worksheets.size());
  tv.append_attribute("baseType") = "lpstr";
  for (const auto& name : worksheets) {
    tv.append_child((vt + "lpstr").c_str()).text().set(name.c_str());
  }
  package.MarkModified(part);
}

}  // namespace kastel::xlsx
