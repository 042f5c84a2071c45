// [Content_Types].xml: the Override of a part wins over the Default of its extension. Part
// names and extensions compare ignoring ASCII case, as OPC requires.
#include "base/error.h"
#include "xlsx/package_messages.h"
#include "xlsx/part_name.h"
#include "xlsx/xml_names.h"
#include "xlsx/zip_package.h"

namespace kastel::xlsx {
namespace {

constexpr std::string_view kContentTypesPart = "[Content_Types].xml";

// The folded extension of the last segment, "" when it has none.
std::string Extension(std::string_view part) {
  std::string_view last = part.substr(part_name::FolderOf(part).size());
  std::size_t dot = last.find_last_of('.');
  return dot == std::string_view::npos ? std::string() : part_name::Fold(last.substr(dot + 1));
}

pugi::xml_node FindOverride(pugi::xml_node types, std::string_view part) {
  const std::string wanted = "/" + std::string(part);
  for (pugi::xml_node node : types.children()) {
    if (LocalName(node) == "Override" &&
        part_name::SameFolded(node.attribute("PartName").value(), wanted)) {
      return node;
    }
  }
  return pugi::xml_node();
}

}  // namespace

pugi::xml_node ZipPackage::TypesRoot() {
  pugi::xml_node root = Xml(kContentTypesPart).document_element();
  if (LocalName(root) != "Types") Fail(messages::NotPackage());
  return root;
}

std::unordered_map<std::string, std::string>& ZipPackage::Overrides() {
  if (!overrides_) {
    overrides_.emplace();
    for (pugi::xml_node node : TypesRoot().children()) {
      if (LocalName(node) != "Override") continue;
      // The first of two Overrides for one part wins, as it always did.
      overrides_->emplace(part_name::Fold(node.attribute("PartName").value()),
                          node.attribute("ContentType").value());
    }
  }
  return *overrides_;
}

void ZipPackage::ForgetOverridesOf(std::string_view part) {
  if (part_name::SameFolded(part, kContentTypesPart)) overrides_.reset();
}

std::string ZipPackage::ContentType(std::string_view part) {
  const auto& overrides = Overrides();
  if (auto it = overrides.find("/" + part_name::Fold(part)); it != overrides.end()) {
    return it->second;
  }
  std::string extension = Extension(part);
  if (extension.empty()) return std::string();
  for (pugi::xml_node node : TypesRoot().children()) {
    if (LocalName(node) == "Default" &&
        part_name::Fold(node.attribute("Extension").value()) == extension) {
      return node.attribute("ContentType").value();
    }
  }
  return std::string();
}

void ZipPackage::SetOverride(std::string_view part, std::string_view content_type) {
  if (!part_name::IsValid(part)) throw Error::Runtime(RuntimeError::kInvalidCall);
  auto& overrides = Overrides();
  pugi::xml_node types = TypesRoot();
  const std::string key = "/" + part_name::Fold(part);
  auto known = overrides.find(key);
  // A part without an Override (every new copy) needs no search through the others.
  pugi::xml_node node = known == overrides.end() ? pugi::xml_node() : FindOverride(types, part);
  if (!node) {
    node = types.append_child(ChildName(types, "Override").c_str());
    node.append_attribute("PartName") = ("/" + std::string(part)).c_str();
    node.append_attribute("ContentType");
  }
  node.attribute("ContentType") = std::string(content_type).c_str();
  overrides[key] = std::string(content_type);
  MarkModified(kContentTypesPart);
}

void ZipPackage::RemoveOverride(std::string_view part) {
  pugi::xml_node types = TypesRoot();
  if (pugi::xml_node node = FindOverride(types, part)) {
    types.remove_child(node);
    overrides_.reset();
    MarkModified(kContentTypesPart);
  }
}

}  // namespace kastel::xlsx
