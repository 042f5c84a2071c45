#include "xlsx/a1.h"

#include <algorithm>
#include <utility>

namespace kastel::xlsx {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
int LetterValue(char c) { return (c >= 'a' ? c - 'a' : c - 'A') + 1; }

// Reads up to three column letters; 0 when there are none or the column is past XFD.
int ReadColumn(std::string_view& s) {
  int column = 0;
  std::size_t n = 0;
  while (n < s.size() && IsLetter(s[n])) {
    if (++n > 3) return 0;
    column = column * 26 + LetterValue(s[n - 1]);
  }
  s.remove_prefix(n);
  return column <= kMaxColumn ? column : 0;
}

// Reads a row number without leading zeros; 0 when there is none or it is out of the sheet.
int ReadNumber(std::string_view& s, int max) {
  if (s.empty() || !IsDigit(s[0]) || s[0] == '0') return 0;
  long value = 0;
  std::size_t n = 0;
  while (n < s.size() && IsDigit(s[n])) {
    value = value * 10 + (s[n] - '0');
    if (value > max) return 0;
    ++n;
  }
  s.remove_prefix(n);
  return static_cast<int>(value);
}

void SkipDollar(std::string_view& s) {
  if (!s.empty() && s[0] == '$') s.remove_prefix(1);
}

// One end of a range: a cell, a column alone (row 0) or a row alone (column 0).
std::optional<CellRef> ParseEnd(std::string_view s) {
  CellRef ref;
  SkipDollar(s);
  if (!s.empty() && IsLetter(s[0])) {
    ref.column = ReadColumn(s);
    if (ref.column == 0) return std::nullopt;
    SkipDollar(s);
  }
  if (!s.empty()) {
    ref.row = ReadNumber(s, kMaxRow);
    if (ref.row == 0) return std::nullopt;
  }
  if (!s.empty() || (ref.row == 0 && ref.column == 0)) return std::nullopt;
  return ref;
}

// Reads "R<n>" or "C<n>" (absolute only); `n` is 0 when the letter is absent, -1 when the form
// is relative or malformed.
int ReadR1C1Part(std::string_view& s, char letter, int max) {
  if (s.empty() || (s[0] != letter && s[0] != letter + ('a' - 'A'))) return 0;
  s.remove_prefix(1);
  int n = ReadNumber(s, max);
  return n == 0 ? -1 : n;
}

std::optional<std::string> R1C1EndToA1(std::string_view s, bool absolute, bool& whole_row,
                                       bool& whole_column) {
  const int row = ReadR1C1Part(s, 'R', kMaxRow);
  const int column = ReadR1C1Part(s, 'C', kMaxColumn);
  if (row < 0 || column < 0 || !s.empty() || (row == 0 && column == 0)) return std::nullopt;
  whole_row = column == 0;
  whole_column = row == 0;
  const std::string dollar = absolute ? "$" : "";
  std::string out;
  if (column != 0) out += dollar + ColumnName(column);
  if (row != 0) out += dollar + std::to_string(row);
  return out;
}

}  // namespace

std::string ColumnName(int column) {
  std::string name;
  while (column > 0) {
    const int rest = (column - 1) % 26;
    name.insert(name.begin(), static_cast<char>('A' + rest));
    column = (column - 1) / 26;
  }
  return name;
}

std::string CellName(int row, int column) { return ColumnName(column) + std::to_string(row); }

std::optional<CellRef> ParseCell(std::string_view a1) {
  auto ref = ParseEnd(a1);
  if (!ref || ref->row == 0 || ref->column == 0) return std::nullopt;
  return ref;
}

int PlainCellColumn(std::string_view ref, int row) {
  std::size_t i = 0;
  int column = 0;
  for (; i < ref.size() && i < 3 && ref[i] >= 'A' && ref[i] <= 'Z'; ++i) {
    column = column * 26 + (ref[i] - 'A' + 1);
  }
  if (i == 0 || column > kMaxColumn || i == ref.size() || ref[i] == '0') return 0;
  int number = 0;
  for (std::size_t digits = 0; i < ref.size(); ++i, ++digits) {
    if (ref[i] < '0' || ref[i] > '9' || digits == 7) return 0;
    number = number * 10 + (ref[i] - '0');
  }
  return number == row && row <= kMaxRow ? column : 0;
}

int CellColumnInRow(std::string_view ref, int row, int after) {
  if (const int plain = PlainCellColumn(ref, row); plain > after) return plain;
  const std::optional<CellRef> cell = ParseCell(ref);
  return cell && cell->row == row && cell->column > after ? cell->column : 0;
}

std::optional<RangeRef> ParseRange(std::string_view a1) {
  const std::size_t colon = a1.find(':');
  if (colon == std::string_view::npos) {
    auto cell = ParseCell(a1);
    if (!cell) return std::nullopt;
    return RangeRef{*cell, *cell};
  }
  auto first = ParseEnd(a1.substr(0, colon));
  auto last = ParseEnd(a1.substr(colon + 1));
  if (!first || !last) return std::nullopt;
  const bool rows_only = first->column == 0 && last->column == 0;
  const bool columns_only = first->row == 0 && last->row == 0;
  const bool cells = first->row != 0 && first->column != 0 && last->row != 0 && last->column != 0;
  if (!rows_only && !columns_only && !cells) return std::nullopt;
  RangeRef range{*first, *last};
  if (rows_only) {
    range.first.column = 1;
    range.last.column = kMaxColumn;
  }
  if (columns_only) {
    range.first.row = 1;
    range.last.row = kMaxRow;
  }
  if (range.first.row > range.last.row) std::swap(range.first.row, range.last.row);
  if (range.first.column > range.last.column) std::swap(range.first.column, range.last.column);
  return range;
}

std::string QuoteSheetName(std::string_view name) {
  std::string out = "'";
  for (char c : name) {
    out += c;
    if (c == '\'') out += '\'';
  }
  out += '\'';
  return out;
}

std::optional<std::pair<std::string, std::string>> SplitSheetRef(std::string_view ref) {
  if (!ref.empty() && ref[0] == '\'') {
    std::string name;
    std::size_t i = 1;
    for (; i < ref.size(); ++i) {
      if (ref[i] != '\'') {
        name += ref[i];
      } else if (i + 1 < ref.size() && ref[i + 1] == '\'') {
        name += '\'';
        ++i;
      } else {
        break;
      }
    }
    if (i + 1 >= ref.size() || ref[i] != '\'' || ref[i + 1] != '!') return std::nullopt;
    return std::make_pair(name, std::string(ref.substr(i + 2)));
  }
  const std::size_t bang = ref.rfind('!');
  if (bang == std::string_view::npos || bang == 0) return std::nullopt;
  return std::make_pair(std::string(ref.substr(0, bang)), std::string(ref.substr(bang + 1)));
}

std::optional<std::string> R1C1ToA1(std::string_view r1c1, bool absolute) {
  if (!r1c1.empty() && r1c1[0] == '=') r1c1.remove_prefix(1);
  std::string prefix;
  std::string body(r1c1);
  if (r1c1.find('!') != std::string_view::npos) {
    auto split = SplitSheetRef(r1c1);
    if (!split || split->first.empty()) return std::nullopt;
    prefix = QuoteSheetName(split->first) + "!";
    body = split->second;
  }
  const std::size_t colon = body.find(':');
  bool first_row = false, first_column = false;
  auto first =
      R1C1EndToA1(std::string_view(body).substr(0, colon), absolute, first_row, first_column);
  if (!first) return std::nullopt;
  if (colon == std::string::npos) {
    // A lone "R2" or "C3" is a whole row or column, written as a range in A1.
    if (first_row || first_column) return prefix + *first + ":" + *first;
    return prefix + *first;
  }
  bool last_row = false, last_column = false;
  auto last =
      R1C1EndToA1(std::string_view(body).substr(colon + 1), absolute, last_row, last_column);
  if (!last || first_row != last_row || first_column != last_column) return std::nullopt;
  return prefix + *first + ":" + *last;
}

}  // namespace kastel::xlsx
