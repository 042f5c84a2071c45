#include "xlsx/shared_strings.h"

#include <cstring>
#include <utility>

#include "base/error.h"
#include "xlsx/sheet_data_xml.h"

namespace kastel::xlsx {
namespace {

// Counts the <si> start tags (with or without a namespace prefix) in the raw bytes, so that a
// table too large to hold is refused before it is parsed. Tags inside comments or CDATA are
// counted too, which can only err on the safe side.
std::size_t CountItems(std::string_view xml, std::size_t stop_after) {
  std::size_t count = 0;
  std::size_t pos = 0;
  while ((pos = xml.find('<', pos)) != std::string_view::npos) {
    ++pos;
    std::size_t end = pos;
    while (end < xml.size() && xml[end] != '>' && xml[end] != '/' && xml[end] != ' ' &&
           xml[end] != '\t' && xml[end] != '\r' && xml[end] != '\n') {
      ++end;
    }
    std::string_view name = xml.substr(pos, end - pos);
    const std::size_t colon = name.rfind(':');
    if (colon != std::string_view::npos) name.remove_prefix(colon + 1);
    if (name == "si" && ++count > stop_after) break;
    pos = end;
  }
  return count;
}

}  // namespace

SharedStrings::SharedStrings(Package& package, std::string part)
    : package_(package), part_(std::move(part)) {}

const std::string& SharedStrings::Get(std::size_t index) {
  if (!loaded_) Load();
  if (index >= strings_.size()) {
    throw Error::Host("ブック '" + package_.path() + "' の共有文字列の番号 " +
                          std::to_string(index) + " が表にありません。ファイルが壊れています。",
                      kFileFormatError);
  }
  return strings_[index];
}

void SharedStrings::Load() {
  strings_.clear();
  if (!part_.empty()) {
    const std::string bytes = package_.Read(part_);
    const std::size_t limit = package_.limits().max_shared_strings;
    if (CountItems(bytes, limit) > limit) {
      throw Error::Host("ブック '" + package_.path() + "' の共有文字列が多すぎます (上限 " +
                            std::to_string(limit) + " 件)。",
                        kFileFormatError);
    }
    pugi::xml_document doc;
    ParseXml(bytes, part_, doc);
    for (pugi::xml_node si : doc.document_element().children()) {
      if (LocalName(si) == "si") strings_.push_back(RichText(si));
    }
  }
  loaded_ = true;
}

}  // namespace kastel::xlsx
