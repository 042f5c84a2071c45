#include "xlsx/formula.h"

#include <optional>

#include "base/vb.h"
#include "xlsx/a1.h"

namespace kastel::xlsx {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// Characters that may stand in a name, a function name, a cell reference or an unquoted sheet
// name. Bytes of multi-byte UTF-8 characters count, so that Japanese names stay whole.
bool IsNameChar(char c) {
  return IsAsciiLetter(c) || IsDigit(c) || c == '_' || c == '.' || c == '$' || c == '\\' ||
         static_cast<unsigned char>(c) >= 0x80;
}

// Length of the "..." literal starting at `i` (quotes included; "" inside is a quote).
std::size_t LiteralLength(std::string_view s, std::size_t i, char quote) {
  std::size_t j = i + 1;
  while (j < s.size()) {
    if (s[j] == quote) {
      if (j + 1 < s.size() && s[j + 1] == quote) {
        j += 2;
        continue;
      }
      return j + 1 - i;
    }
    ++j;
  }
  return s.size() - i;
}

// Length of the [...] group starting at `i`, nested groups included (structured references,
// external workbook numbers).
std::size_t BracketLength(std::string_view s, std::size_t i) {
  int depth = 0;
  for (std::size_t j = i; j < s.size(); ++j) {
    if (s[j] == '[') ++depth;
    if (s[j] == ']' && --depth == 0) return j + 1 - i;
  }
  return s.size() - i;
}

std::string UnquoteSheet(std::string_view quoted) {
  std::string name;
  for (std::size_t i = 1; i + 1 < quoted.size(); ++i) {
    name += quoted[i];
    if (quoted[i] == '\'' && quoted[i + 1] == '\'') ++i;
  }
  return name;
}

// Letters then digits, whether or not inside the sheet's limits: such a name would read as a
// cell in some spreadsheet version.
bool LooksLikeCell(std::string_view name) {
  std::size_t i = 0;
  while (i < name.size() && IsAsciiLetter(name[i])) ++i;
  if (i == 0 || i == name.size()) return false;
  while (i < name.size() && IsDigit(name[i])) ++i;
  return i == name.size();
}

bool LooksLikeR1C1(std::string_view name) {
  if (name.empty() || (name[0] != 'R' && name[0] != 'r' && name[0] != 'C' && name[0] != 'c')) {
    return false;
  }
  for (char c : name) {
    if (!(IsDigit(c) || c == 'R' || c == 'r' || c == 'C' || c == 'c')) return false;
  }
  return true;
}

// A sheet name goes unquoted only when it is plain ASCII word characters that cannot be read
// as anything else; quoting is valid everywhere, so doubt means quotes.
std::string SheetPrefix(std::string_view name) {
  bool plain = !name.empty() && !IsDigit(name[0]) && name[0] != '.';
  for (char c : name) {
    if (!(IsAsciiLetter(c) || IsDigit(c) || c == '_' || c == '.')) plain = false;
  }
  const std::string upper = vb::UCase(name);
  if (plain && !LooksLikeCell(name) && !LooksLikeR1C1(name) && upper != "TRUE" &&
      upper != "FALSE") {
    return std::string(name);
  }
  return QuoteSheetName(name);
}

struct CellToken {
  bool column_absolute = false;
  int column = 0;
  bool row_absolute = false;
  int row = 0;
};

// Reads "$A$1", "A1", "$A" or "7" style tokens; `want_column`/`want_row` say which parts the
// token must have.
std::optional<CellToken> ReadCellToken(std::string_view s, bool want_column, bool want_row) {
  CellToken t;
  std::size_t i = 0;
  if (want_column) {
    if (i < s.size() && s[i] == '$') t.column_absolute = true, ++i;
    std::size_t start = i;
    while (i < s.size() && IsAsciiLetter(s[i])) ++i;
    if (i == start || i - start > 3) return std::nullopt;
    for (std::size_t k = start; k < i; ++k) {
      t.column = t.column * 26 + ((s[k] | 0x20) - 'a' + 1);
    }
    if (t.column > kMaxColumn) return std::nullopt;
  }
  if (want_row) {
    if (i < s.size() && s[i] == '$') t.row_absolute = true, ++i;
    std::size_t start = i;
    if (i >= s.size() || s[i] == '0') return std::nullopt;
    long row = 0;
    while (i < s.size() && IsDigit(s[i])) {
      row = row * 10 + (s[i] - '0');
      if (row > kMaxRow) return std::nullopt;
      ++i;
    }
    if (i == start) return std::nullopt;
    t.row = static_cast<int>(row);
  }
  if (i != s.size()) return std::nullopt;
  return t;
}

// The shifted text of a token, or "" when the token moves off the sheet.
std::string ShiftToken(const CellToken& t, bool has_column, bool has_row, int rows, int columns) {
  std::string out;
  if (has_column) {
    const int column = t.column_absolute ? t.column : t.column + columns;
    if (column < 1 || column > kMaxColumn) return "";
    out += (t.column_absolute ? "$" : "") + ColumnName(column);
  }
  if (has_row) {
    const int row = t.row_absolute ? t.row : t.row + rows;
    if (row < 1 || row > kMaxRow) return "";
    out += (t.row_absolute ? "$" : "") + std::to_string(row);
  }
  return out;
}

}  // namespace

std::string RenameSheetInFormula(std::string_view formula, std::string_view from,
                                 std::string_view to) {
  const std::string from_upper = vb::UCase(from);
  std::string out;
  out.reserve(formula.size());
  std::size_t i = 0;
  while (i < formula.size()) {
    const char c = formula[i];
    if (c == '"' || c == '[') {
      const std::size_t n = c == '"' ? LiteralLength(formula, i, c) : BracketLength(formula, i);
      out.append(formula.substr(i, n));
      i += n;
      // A name right after [n] belongs to another workbook: copy it as it is.
      while (c == '[' && i < formula.size() && IsNameChar(formula[i])) out += formula[i++];
      continue;
    }
    if (c == '\'') {
      const std::size_t n = LiteralLength(formula, i, c);
      const std::string_view quoted = formula.substr(i, n);
      const bool is_sheet = i + n < formula.size() && formula[i + n] == '!';
      if (is_sheet && vb::UCase(UnquoteSheet(quoted)) == from_upper) {
        out += SheetPrefix(to);
      } else {
        out.append(quoted);
      }
      i += n;
      continue;
    }
    if (IsNameChar(c)) {
      std::size_t j = i;
      while (j < formula.size() && IsNameChar(formula[j])) ++j;
      const std::string_view name = formula.substr(i, j - i);
      const bool is_sheet = j < formula.size() && formula[j] == '!';
      if (is_sheet && vb::UCase(name) == from_upper) {
        out += SheetPrefix(to);
      } else {
        out.append(name);
      }
      i = j;
      continue;
    }
    out += c;
    ++i;
  }
  return out;
}

std::string ShiftRelativeReferences(std::string_view formula, int rows, int columns) {
  std::string out;
  out.reserve(formula.size());
  std::size_t i = 0;
  while (i < formula.size()) {
    const char c = formula[i];
    if (c == '"' || c == '\'' || c == '[') {
      const std::size_t n = c == '[' ? BracketLength(formula, i) : LiteralLength(formula, i, c);
      out.append(formula.substr(i, n));
      i += n;
      continue;
    }
    if (!IsNameChar(c)) {
      out += c;
      ++i;
      continue;
    }
    std::size_t j = i;
    while (j < formula.size() && IsNameChar(formula[j])) ++j;
    const std::string_view token = formula.substr(i, j - i);
    const char next = j < formula.size() ? formula[j] : '\0';
    const char prev = i > 0 ? formula[i - 1] : '\0';
    // Function names, sheet and table names and names of other workbooks are not references.
    const bool named = next == '(' || next == '!' || next == '[' || prev == ']';
    // "A:C" and "3:5" are references only as a pair around ':'.
    const bool in_pair = next == ':' || prev == ':';
    std::string shifted;
    bool replaced = false;
    if (!named) {
      if (auto cell = ReadCellToken(token, true, true)) {
        shifted = ShiftToken(*cell, true, true, rows, columns);
        replaced = true;
      } else if (in_pair) {
        if (auto col = ReadCellToken(token, true, false)) {
          shifted = ShiftToken(*col, true, false, rows, columns);
          replaced = true;
        } else if (auto row = ReadCellToken(token, false, true)) {
          shifted = ShiftToken(*row, false, true, rows, columns);
          replaced = true;
        }
      }
    }
    if (!replaced) {
      out.append(token);
    } else {
      out += shifted.empty() ? "#REF!" : shifted;
    }
    i = j;
  }
  return out;
}

}  // namespace kastel::xlsx
