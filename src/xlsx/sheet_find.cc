// Cells.Find over the cells of a sheet, held as the DOM's index or as the cells of a sheet that
// was only read: each cell's text is worked out once and kept until the cell is written again,
// so that repeated searches of one sheet cost a pass over strings only.
#include <optional>
#include <string>

#include "base/vb.h"
#include "xlsx/sheet_cells.h"
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

// One search, offered the cells in row order.
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

}  // namespace

std::optional<host::CellPos> SheetData::Find(const host::FindOptions& options) {
  const CellContext context{strings_, styles_, date1904_, package_.path(), part_};
  Search search(options);
  if (const SheetCells* cells = ReadOnlyCells()) {
    for (const SheetCells::Cell& cell : cells->cells()) {
      auto read = [&] { return CellValue(cell.pieces, context); };
      auto folded = [&]() -> const std::string& {
        if (!cell.folded_ready) {
          cell.folded = vb::UCase(FindText(read()));
          cell.folded_ready = true;
        }
        return cell.folded;
      };
      if (!search.Offer(cell.row, cell.column, read, folded)) break;
    }
    return search.Result();
  }
  Index& index = Load();
  for (Index::Row& row : index.rows()) {
    for (Index::Cell& cell : row.cells) {
      auto read = [&] { return ReadCell(cell.node, context); };
      auto folded = [&]() -> const std::string& {
        if (!cell.folded_ready) {
          cell.folded = vb::UCase(FindText(read()));
          cell.folded_ready = true;
        }
        return cell.folded;
      };
      if (!search.Offer(row.number, cell.column, read, folded)) return search.Result();
    }
  }
  return search.Result();
}

}  // namespace kastel::xlsx
