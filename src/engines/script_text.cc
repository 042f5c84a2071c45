#include "engines/script_text.h"

#include <algorithm>
#include <cstring>

#include "base/cp932.h"

namespace kastel::engines {

Block::Block(std::string_view title, std::string_view eol) : eol_(eol) {
  // A sheet's blocks run to kilobytes (its comment block to tens): growing from nothing would
  // copy each several times over.
  text_.reserve(8192);
  text_ = "-- ";
  text_ += title;
}

void Block::Append(const std::string_view* pieces, std::size_t count) {
  std::size_t size = 0;
  for (std::size_t i = 0; i < count; ++i) size += pieces[i].size();
  const std::size_t at = text_.size();
  if (text_.capacity() - at < size) text_.reserve(std::max(2 * text_.capacity(), at + size));
  text_.resize(at + size);
  char* out = text_.data() + at;
  for (std::size_t i = 0; i < count; ++i) {
    if (pieces[i].empty()) continue;  // an empty view may hold no pointer at all
    std::memcpy(out, pieces[i].data(), pieces[i].size());
    out += pieces[i].size();
  }
}

std::string Block::Finish() && {
  text_ += eol_;
  text_ += eol_;
  return std::move(text_);
}

namespace {

// Appends `text` and the spaces that fill it to `width` CP932 bytes; never cuts it.
void AppendPadded(std::string& out, std::string_view text, std::size_t width) {
  out += text;
  const std::size_t have = cp932::Width(text);
  if (have < width) out.append(width - have, ' ');
}

}  // namespace

std::string PadRightB(std::string_view text, std::size_t width) {
  std::string out;
  AppendPadded(out, text, width);
  return out;
}

// Built in one string: a table script has a line for every column of the workbook, and a
// string for each field of it was most of the table script's cost.
std::string ColumnLine(const ColumnRow& column, bool first) {
  std::string line;
  line.reserve(96 + column.name.size() + column.data_type.size() + column.default_value.size());
  line += first ? "   " : "  ,";
  AppendPadded(line, column.name, 32);
  line += "  ";
  AppendPadded(line, column.data_type, 20);
  line += "  ";
  // The default: an IDENTITY clause stands alone, anything else follows "DEFAULT "; no default
  // leaves the field blank.
  const std::string& d = column.default_value;
  if (d.empty()) {
    line.append(22, ' ');
  } else {
    constexpr std::string_view kDefault = "DEFAULT ";
    const bool identity = d.find("IDENTITY") != std::string::npos;
    if (!identity) line += kDefault;
    AppendPadded(line, d, identity ? 20 : 20 - kDefault.size());
    line += "  ";
  }
  // Only the mark "否" forbids nulls; an empty cell, 可, ○ or any other text allows them.
  line += column.nullable == "否" ? "NOT NULL" : "    NULL";
  return line;
}

std::string QuoteDoubled(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    out += c;
    if (c == '\'') out += '\'';
  }
  return out;
}

std::string JoinLines(std::initializer_list<std::string> lines) {
  std::string text;
  for (const std::string& line : lines) {
    if (!text.empty()) text += '\n';
    text += line;
  }
  return text;
}

}  // namespace kastel::engines
