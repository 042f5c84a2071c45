#include "xlsx/worksheet_name.h"

#include <fmt/format.h>

#include "base/error.h"
#include "xlsx/workbook_xml.h"

namespace kastel::xlsx {
namespace {

// Bytes of one UTF-8 sequence starting with `lead`.
std::size_t SequenceLength(unsigned char lead) {
  if (lead < 0x80) return 1;
  if (lead >= 0xF0) return 4;
  if (lead >= 0xE0) return 3;
  if (lead >= 0xC0) return 2;
  return 1;  // a stray continuation byte counts alone
}

// The longest prefix of `text` that is at most `units` UTF-16 units long.
std::string_view PrefixOfUnits(std::string_view text, std::size_t units) {
  std::size_t used = 0;
  std::size_t i = 0;
  while (i < text.size()) {
    const std::size_t len = SequenceLength(static_cast<unsigned char>(text[i]));
    const std::size_t cost = len == 4 ? 2 : 1;
    if (used + cost > units || i + len > text.size()) break;
    used += cost;
    i += len;
  }
  return text.substr(0, i);
}

}  // namespace

std::size_t Utf16Length(std::string_view text) {
  std::size_t units = 0;
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t len = SequenceLength(static_cast<unsigned char>(text[i]));
    units += len == 4 ? 2 : 1;
    i += len;
  }
  return units;
}

void CheckSheetName(std::string_view name) {
  if (name.empty()) {
    throw Error::Host("シート名を空にすることはできません。");
  }
  if (Utf16Length(name) > kMaxSheetNameLength) {
    throw Error::Host(
        fmt::format("シート名'{}'は長すぎます。シート名は31文字以内にしてください。", name));
  }
  if (name.find_first_of(":\\/?*[]") != std::string_view::npos) {
    throw Error::Host(fmt::format(
        "シート名'{}'には使えない文字が含まれています。: \\ / ? * [ ] は使えません。", name));
  }
  if (name.front() == '\'' || name.back() == '\'') {
    throw Error::Host(fmt::format(
        "シート名'{}'は使えません。シート名の先頭と末尾にアポストロフィは使えません。", name));
  }
  if (SameName(name, "History")) {
    throw Error::Host("シート名'History'はアプリケーションが予約しているため使えません。");
  }
}

std::string CopyName(std::string_view original,
                     const std::function<bool(std::string_view)>& taken) {
  for (int n = 2;; ++n) {
    const std::string suffix = fmt::format(" ({})", n);
    std::string name(PrefixOfUnits(original, kMaxSheetNameLength - suffix.size()));
    name += suffix;
    if (!taken(name)) return name;
  }
}

}  // namespace kastel::xlsx
