#include "engines/script_text.h"

#include "base/cp932.h"

namespace kastel::engines {

Block::Block(std::string_view title, std::string_view eol) : eol_(eol) {
  // A sheet's blocks run to kilobytes (its comment block to tens): growing from nothing would
  // copy each several times over.
  text_.reserve(8192);
  text_ = "-- ";
  text_ += title;
}

std::string Block::Finish() && {
  text_ += eol_;
  text_ += eol_;
  return std::move(text_);
}

std::string PadRightB(std::string_view text, std::size_t width) {
  std::string out(text);
  const std::size_t have = cp932::Width(text);
  if (have < width) out.append(width - have, ' ');
  return out;
}

namespace {

// The default as the statement carries it: an IDENTITY clause stands alone, anything else
// follows "DEFAULT "; no default leaves the field blank.
std::string DefaultPart(const std::string& d) {
  if (d.empty()) return std::string(22, ' ');
  if (d.find("IDENTITY") != std::string::npos) return PadRightB(d, 20) + "  ";
  return PadRightB("DEFAULT " + d, 20) + "  ";
}

}  // namespace

std::string ColumnLine(const ColumnRow& column, bool first) {
  std::string line = first ? "   " : "  ,";
  line += PadRightB(column.name, 32);
  line += "  ";
  line += PadRightB(column.data_type, 20);
  line += "  ";
  line += DefaultPart(column.default_value);
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
