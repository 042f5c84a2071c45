// Internal hyperlinks, and the sheet's references to other sheets by name.
#include <string>
#include <string_view>

#include "xlsx/a1.h"
#include "xlsx/formula.h"
#include "xlsx/sheet_data.h"
#include "xlsx/sheet_data_index.h"
#include "xlsx/sheet_data_xml.h"

namespace kastel::xlsx {
namespace {

// The relationship id of an external link (r:id, whatever the prefix), or "".
std::string RelationshipId(pugi::xml_node link) {
  for (pugi::xml_attribute attribute : link.attributes()) {
    const std::string_view name = attribute.name();
    if (name.size() > 3 && name.substr(name.size() - 3) == ":id") return attribute.value();
  }
  return "";
}

bool Meets(const RangeRef& a, const RangeRef& b) {
  return a.first.row <= b.last.row && b.first.row <= a.last.row &&
         a.first.column <= b.last.column && b.first.column <= a.last.column;
}

bool SameRange(const std::optional<RangeRef>& a, const RangeRef& b) {
  return a && a->first == b.first && a->last == b.last;
}

// Elements whose text is a formula: cell formulas (and the x14 "xm:f"), conditional formats
// and validations.
bool HoldsFormula(std::string_view local) {
  return local == "f" || local == "formula" || local == "formula1" || local == "formula2";
}

pugi::xml_node ChildElement(pugi::xml_node node) {
  return node.find_child([](pugi::xml_node n) { return n.type() == pugi::node_element; });
}

}  // namespace

void SheetData::AddHyperlink(std::string_view anchor, std::string_view location,
                             std::string_view display) {
  const std::optional<RangeRef> range = ParseRange(anchor);
  if (!range || location.empty()) throw HostRefused();
  Index& index = Load();

  std::string ref = CellName(range->first.row, range->first.column);
  if (!(range->first == range->last)) {
    ref += ":" + CellName(range->last.row, range->last.column);
  }
  // The cell shows the text to display, or the place linked to when there is none, exactly:
  // a leading apostrophe (as in "'1'!A1") is part of the text here, not a literal-text mark.
  std::string shown(display.empty() ? location : display);
  if (shown.starts_with('\'')) shown.insert(shown.begin(), '\'');
  Set(range->first.row, range->first.column, Value::Text(shown));

  pugi::xml_node links = index.EnsureWorksheetChild("hyperlinks");
  for (pugi::xml_node link = links.first_child(); link;) {
    pugi::xml_node next = link.next_sibling();
    if (LocalName(link) == "hyperlink" &&
        SameRange(ParseRange(link.attribute("ref").value()), *range)) {
      const std::string id = RelationshipId(link);
      links.remove_child(link);
      if (!id.empty()) package_.RemoveRelationship(part_, id);
    }
    link = next;
  }
  pugi::xml_node link = links.append_child((index.prefix() + "hyperlink").c_str());
  link.append_attribute("ref").set_value(ref.c_str());
  link.append_attribute("location").set_value(AttributeText(location).c_str());
  if (!display.empty()) link.append_attribute("display").set_value(AttributeText(display).c_str());
  package_.MarkModified(part_);
  modified_ = true;
}

void SheetData::DeleteHyperlinks(std::string_view a1_range) {
  const std::optional<RangeRef> range = ParseRange(a1_range);
  if (!range) throw HostRefused();
  Index& index = Load();
  bool changed = false;
  for (pugi::xml_node links = index.root().first_child(); links;) {
    pugi::xml_node next_links = links.next_sibling();
    if (LocalName(links) == "hyperlinks") {
      for (pugi::xml_node link = links.first_child(); link;) {
        pugi::xml_node next = link.next_sibling();
        const std::optional<RangeRef> ref = ParseRange(link.attribute("ref").value());
        if (LocalName(link) == "hyperlink" && ref && Meets(*ref, *range)) {
          const std::string id = RelationshipId(link);
          links.remove_child(link);
          if (!id.empty()) package_.RemoveRelationship(part_, id);
          changed = true;
        }
        link = next;
      }
      // An empty list of links is a damaged part to Excel.
      if (!links.find_child([](pugi::xml_node n) { return n.type() == pugi::node_element; })) {
        index.root().remove_child(links);
      }
    }
    links = next_links;
  }
  if (changed) {
    package_.MarkModified(part_);
    modified_ = true;
  }
}

std::string SheetData::HyperlinkLocation(int row, int column) {
  Index& index = Load();
  for (pugi::xml_node links : index.root().children()) {
    if (LocalName(links) != "hyperlinks") continue;
    for (pugi::xml_node link : links.children()) {
      if (LocalName(link) != "hyperlink") continue;
      const std::optional<RangeRef> ref = ParseRange(link.attribute("ref").value());
      if (!ref || row < ref->first.row || row > ref->last.row || column < ref->first.column ||
          column > ref->last.column) {
        continue;
      }
      // The first link on the cell decides, as Hyperlinks(1) would; one with a relationship
      // goes to a file or web address, even when it also names a place there.
      if (!RelationshipId(link).empty()) return "";
      return link.attribute("location").value();
    }
  }
  return "";
}

void SheetData::RenameSheetReferences(std::string_view from, std::string_view to) {
  Index& index = Load();
  bool changed = false;
  auto rewrite = [&](std::string_view text, auto&& store) {
    const std::string renamed = RenameSheetInFormula(text, from, to);
    if (renamed != text) {
      store(renamed);
      changed = true;
    }
  };
  // A walk of the whole part: formulas stand in sheetData, conditional formats, validations
  // and any extension list.
  std::vector<pugi::xml_node> stack{index.root()};
  while (!stack.empty()) {
    pugi::xml_node node = stack.back();
    stack.pop_back();
    const std::string_view local = LocalName(node);
    // x14 validations wrap their formula in <xm:f> inside <x14:formula1>: only text counts.
    if (HoldsFormula(local) && !ChildElement(node)) {
      rewrite(node.text().get(), [&](const std::string& s) { node.text().set(s.c_str()); });
      continue;
    }
    if (local == "hyperlink") {
      pugi::xml_attribute location = node.attribute("location");
      rewrite(location.value(), [&](const std::string& s) { location.set_value(s.c_str()); });
    }
    for (pugi::xml_node child : node.children()) {
      if (child.type() == pugi::node_element) stack.push_back(child);
    }
  }
  if (changed) {
    package_.MarkModified(part_);
    modified_ = true;
  }
}

}  // namespace kastel::xlsx
