// Cells.Find's rules, shared by the hosts: which cell matches and which match wins when the
// search starts after a given cell and wraps around the sheet.
#ifndef KASTEL_XLSX_CELL_SEARCH_H_
#define KASTEL_XLSX_CELL_SEARCH_H_

#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "base/value.h"
#include "base/vb.h"
#include "host/host.h"

namespace kastel::xlsx {

// The value as Find sees it: as text the way "" & value gives it; error values by their text.
inline std::string FindText(const Value& value) {
  if (value.kind() == Value::Kind::kError) return value.error();
  return vb::Concat(value);
}

inline bool Matches(std::string_view text, std::string_view what, bool whole_cell) {
  if (text.empty()) return false;  // Find passes over empty cells
  return whole_cell ? text == what : text.find(what) != std::string_view::npos;
}

// One search, offered the cells in row order (row by row, each row by column).
class Search {
 public:
  explicit Search(const host::FindOptions& options)
      : options_(options),
        what_(options.match_case ? options.what : vb::UCase(options.what)),
        by_rows_(options.order != host::SearchOrder::kByColumns),
        after_(Key(options.after.row, options.after.column)) {}

  // Offers the cell at (row, column); `read` gives its value, `folded` its upper-cased text
  // (worked out by `read` on first use). False once nothing later can change the result.
  template <typename Read, typename Folded>
  bool Offer(int row, int column, Read read, Folded folded) {
    const auto k = Key(row, column);
    const bool is_past = k > after_;
    // In row order nothing later can beat a match already found on either side.
    if (is_past ? (past_ && *past_ < k) : (first_ && *first_ < k)) return true;
    const bool match = options_.match_case ? Matches(FindText(read()), what_, options_.whole_cell)
                                           : Matches(folded(), what_, options_.whole_cell);
    if (!match) return true;
    (is_past ? past_ : first_) = k;
    return !(by_rows_ && is_past);
  }

  // The first match past `after`; failing that, the first match of the whole sheet, which is
  // where the search lands after wrapping (`after` itself included, last).
  std::optional<host::CellPos> Result() const {
    const auto& found = past_ ? past_ : first_;
    if (!found) return std::nullopt;
    return by_rows_ ? host::CellPos{found->first, found->second}
                    : host::CellPos{found->second, found->first};
  }

 private:
  // Positions compared in search order: (row, column) by rows, (column, row) by columns.
  std::pair<int, int> Key(int row, int column) const {
    return by_rows_ ? std::pair(row, column) : std::pair(column, row);
  }

  const host::FindOptions& options_;
  const std::string what_;
  const bool by_rows_;
  const std::pair<int, int> after_;
  std::optional<std::pair<int, int>> past_, first_;
};

}  // namespace kastel::xlsx

#endif  // KASTEL_XLSX_CELL_SEARCH_H_
