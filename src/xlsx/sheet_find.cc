// Cells.Find over the index: each cell's text is worked out once and kept until the cell is
// written again, so that repeated searches of one sheet cost a pass over strings only.
#include <optional>
#include <string>

#include "base/vb.h"
#include "xlsx/sheet_data.h"
#include "xlsx/sheet_data_cell.h"
#include "xlsx/sheet_data_index.h"

namespace kastel::xlsx {
namespace {

// The value as Find sees it: as text the way "" & value gives it; error values by their text.
std::string FindText(const Value& value) {
  if (value.kind() == Value::Kind::kError) return value.error();
  return vb::Concat(value);
}

bool Matches(std::string_view text, std::string_view what, bool whole_cell) {
  if (text.empty()) return false;  // Find passes over empty cells
  return whole_cell ? text == what : text.find(what) != std::string_view::npos;
}

}  // namespace

std::optional<host::CellPos> SheetData::Find(const host::FindOptions& options) {
  Index& index = Load();
  const CellContext context{strings_, styles_, date1904_, package_.path(), part_};
  const std::string what = options.match_case ? options.what : vb::UCase(options.what);

  auto matches = [&](Index::Cell& cell) {
    if (options.match_case) {
      return Matches(FindText(ReadCell(cell.node, context)), what, options.whole_cell);
    }
    if (!cell.folded_ready) {
      cell.folded = vb::UCase(FindText(ReadCell(cell.node, context)));
      cell.folded_ready = true;
    }
    return Matches(cell.folded, what, options.whole_cell);
  };

  // Positions compared in search order: (row, column) by rows, (column, row) by columns.
  const bool by_rows = options.order != host::SearchOrder::kByColumns;
  auto key = [by_rows](int row, int column) {
    return by_rows ? std::pair(row, column) : std::pair(column, row);
  };
  const auto after = key(options.after.row, options.after.column);

  // The first match past `after` wins; failing that, the first match of the whole sheet,
  // which is where the search lands after wrapping (`after` itself included, last).
  std::optional<std::pair<int, int>> past, first;
  for (Index::Row& row : index.rows()) {
    for (Index::Cell& cell : row.cells) {
      const auto k = key(row.number, cell.column);
      const bool is_past = k > after;
      // In row order nothing later can beat a match already found on either side.
      if (is_past ? (past && *past < k) : (first && *first < k)) continue;
      if (!matches(cell)) continue;
      (is_past ? past : first) = k;
      if (by_rows && is_past) break;
    }
    if (by_rows && past) break;
  }
  const auto& found = past ? past : first;
  if (!found) return std::nullopt;
  return by_rows ? host::CellPos{found->first, found->second}
                 : host::CellPos{found->second, found->first};
}

}  // namespace kastel::xlsx
