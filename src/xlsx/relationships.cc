// The .rels parts: a source part's relationships live in "_rels/<name>.rels" beside it. Targets
// are resolved inside the package only; an external target is never resolved or followed.
#include <string>

#include "base/error.h"
#include "xlsx/part_name.h"
#include "xlsx/xml_names.h"
#include "xlsx/zip_package.h"

namespace kastel::xlsx {
namespace {

constexpr std::string_view kRelsType = "application/vnd.openxmlformats-package.relationships+xml";
constexpr char kEmptyRels[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
    "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\"/>";

// "rId" and a number above every numbered id in use; other ids are skipped over.
std::string FreshId(pugi::xml_node root) {
  unsigned long highest = 0;
  for (pugi::xml_node node : root.children()) {
    std::string_view id = node.attribute("Id").value();
    if (id.size() < 4 || id.size() > 12 || id.substr(0, 3) != "rId") continue;
    unsigned long number = 0;
    bool digits = true;
    for (char c : id.substr(3)) {
      if (c < '0' || c > '9') digits = false;
      number = number * 10 + static_cast<unsigned long>(c - '0');
    }
    if (digits && number > highest) highest = number;
  }
  return "rId" + std::to_string(highest + 1);
}

Relationship FromNode(std::string_view source, pugi::xml_node node) {
  Relationship r;
  r.id = node.attribute("Id").value();
  r.type = node.attribute("Type").value();
  r.target = node.attribute("Target").value();
  r.external = std::string_view(node.attribute("TargetMode").value()) == "External";
  if (!r.external) r.target_part = part_name::Resolve(source, r.target).value_or("");
  return r;
}

}  // namespace

pugi::xml_node ZipPackage::RelsRoot(std::string_view source, bool create) {
  std::string rels = RelsPartOf(source);
  if (!Has(rels)) {
    if (!create) return pugi::xml_node();
    Write(rels, kEmptyRels);
    if (ContentType(rels).empty()) {
      pugi::xml_node types = TypesRoot();
      pugi::xml_node node = types.prepend_child(ChildName(types, "Default").c_str());
      node.append_attribute("Extension") = "rels";
      node.append_attribute("ContentType") = std::string(kRelsType).c_str();
      MarkModified("[Content_Types].xml");
    }
  }
  return Xml(rels).document_element();
}

std::vector<Relationship> ZipPackage::Relationships(std::string_view source) {
  std::vector<Relationship> relationships;
  pugi::xml_node root = RelsRoot(source, false);
  for (pugi::xml_node node : root.children()) {
    if (LocalName(node) == "Relationship") relationships.push_back(FromNode(source, node));
  }
  return relationships;
}

std::optional<Relationship> ZipPackage::RelationshipById(std::string_view source,
                                                         std::string_view id) {
  pugi::xml_node root = RelsRoot(source, false);
  for (pugi::xml_node node : root.children()) {
    if (LocalName(node) == "Relationship" && id == node.attribute("Id").value()) {
      return FromNode(source, node);
    }
  }
  return std::nullopt;
}

std::string ZipPackage::AddRelationship(std::string_view source, std::string_view type,
                                        std::string_view target_part) {
  if (!part_name::IsValid(target_part)) throw Error::Runtime(RuntimeError::kInvalidCall);
  pugi::xml_node root = RelsRoot(source, true);
  std::string id = FreshId(root);
  pugi::xml_node node = root.append_child(ChildName(root, "Relationship").c_str());
  node.append_attribute("Id") = id.c_str();
  node.append_attribute("Type") = std::string(type).c_str();
  node.append_attribute("Target") = part_name::Relative(source, target_part).c_str();
  MarkModified(RelsPartOf(source));
  return id;
}

void ZipPackage::RemoveRelationship(std::string_view source, std::string_view id) {
  pugi::xml_node root = RelsRoot(source, false);
  for (pugi::xml_node node : root.children()) {
    if (LocalName(node) == "Relationship" && id == node.attribute("Id").value()) {
      root.remove_child(node);
      MarkModified(RelsPartOf(source));
      return;
    }
  }
}

}  // namespace kastel::xlsx
