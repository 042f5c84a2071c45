#include "xlsx/workbook_xml.h"

#include <algorithm>

#include "base/vb.h"

namespace kastel::xlsx {

pugi::xml_node Child(pugi::xml_node parent, std::string_view local) {
  for (pugi::xml_node c = parent.first_child(); c; c = c.next_sibling()) {
    if (c.type() == pugi::node_element && LocalName(c) == local) return c;
  }
  return {};
}

std::vector<pugi::xml_node> Children(pugi::xml_node parent, std::string_view local) {
  std::vector<pugi::xml_node> out;
  for (pugi::xml_node c = parent.first_child(); c; c = c.next_sibling()) {
    if (c.type() == pugi::node_element && LocalName(c) == local) out.push_back(c);
  }
  return out;
}

std::string QualifiedLike(pugi::xml_node parent, std::string_view local) {
  std::string_view name = parent.name();
  auto colon = name.find(':');
  std::string out(colon == std::string_view::npos ? std::string_view() : name.substr(0, colon + 1));
  out += local;
  return out;
}

pugi::xml_node ChildInOrder(pugi::xml_node parent, std::string_view local,
                            std::initializer_list<std::string_view> order) {
  if (pugi::xml_node found = Child(parent, local)) return found;
  auto rank = [&](std::string_view name) {
    auto it = std::find(order.begin(), order.end(), name);
    return it == order.end() ? order.size() : static_cast<std::size_t>(it - order.begin());
  };
  const std::size_t mine = rank(local);
  const std::string qname = QualifiedLike(parent, local);
  // Before the first child that the schema puts after us; unknown children (extensions) count
  // as coming last.
  for (pugi::xml_node c = parent.first_child(); c; c = c.next_sibling()) {
    if (c.type() == pugi::node_element && rank(LocalName(c)) > mine) {
      return parent.insert_child_before(qname.c_str(), c);
    }
  }
  return parent.append_child(qname.c_str());
}

pugi::xml_attribute RelIdAttribute(pugi::xml_node node) {
  for (pugi::xml_attribute a = node.first_attribute(); a; a = a.next_attribute()) {
    std::string_view name = a.name();
    if (name.size() > 3 && name.substr(name.size() - 3) == ":id") {
      std::string xmlns = "xmlns:" + std::string(name.substr(0, name.size() - 3));
      // The prefix is almost always declared on the root; fall back to trusting "r".
      for (pugi::xml_node n = node; n; n = n.parent()) {
        if (pugi::xml_attribute decl = n.attribute(xmlns.c_str())) {
          if (std::string_view(decl.value()).ends_with("/relationships")) return a;
          break;
        }
      }
      if (name == "r:id") return a;
    }
  }
  return {};
}

std::string FoldCase(std::string_view text) { return vb::UCase(text); }

bool SameName(std::string_view a, std::string_view b) { return FoldCase(a) == FoldCase(b); }

bool IsRelType(std::string_view type, std::string_view kind) {
  return type.size() > kind.size() && type.ends_with(kind) &&
         type[type.size() - kind.size() - 1] == '/';
}

std::string FolderOf(std::string_view part) {
  auto slash = part.rfind('/');
  return slash == std::string_view::npos ? std::string() : std::string(part.substr(0, slash + 1));
}

std::string FileOf(std::string_view part) {
  auto slash = part.rfind('/');
  return std::string(slash == std::string_view::npos ? part : part.substr(slash + 1));
}

}  // namespace kastel::xlsx
