#include "xlsx/sheet_data_xml.h"

#include <cstring>
#include <utility>

#include "xlsx/package.h"

namespace kastel::xlsx {

pugi::xml_node ChildNamed(pugi::xml_node parent, std::string_view local) {
  for (pugi::xml_node child : parent.children()) {
    if (child.type() == pugi::node_element && LocalName(child) == local) return child;
  }
  return {};
}

std::string PrefixOf(pugi::xml_node node) {
  std::string_view name = node.name();
  const std::size_t colon = name.find(':');
  return colon == std::string_view::npos ? std::string() : std::string(name.substr(0, colon + 1));
}

std::string RichText(pugi::xml_node item) {
  std::string text;
  for (pugi::xml_node child : item.children()) {
    const std::string_view name = LocalName(child);
    if (name == "t") {
      text += UnescapeText(child.text().get());
    } else if (name == "r") {
      text += UnescapeText(ChildNamed(child, "t").text().get());
    }
  }
  return text;
}

std::string AttributeText(std::string_view text) {
  std::string out;
  for (char c : UnescapeText(EscapeText(text))) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 || c == '\t' || c == '\n' || c == '\r') out += c;
  }
  return out;
}

Error HostRefused() {
  return Error::Host("アプリケーション定義またはオブジェクト定義のエラーです。");
}

Error HostRefused(std::string description) { return Error::Host(std::move(description)); }

Error DamagedPart(std::string_view path, std::string_view part, std::string_view what) {
  return Error::Host("ブック '" + std::string(path) + "' の " + std::string(part) +
                         " が壊れています (" + std::string(what) + ")。",
                     kFileFormatError);
}

}  // namespace kastel::xlsx
