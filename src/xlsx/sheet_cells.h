// The cells of a worksheet part that is only read, taken in one pass over its bytes instead of
// a DOM. Reading a definition sheet touches a few hundred cells; building a DOM of every
// element and indexing it cost several times the parse itself. Only cells that hold a value are
// kept, each as the pieces ReadCell would take from its <c>, so both ways give the same value.
//
// A part the pass cannot read exactly as the DOM would is left to the DOM, which reads it or
// names the damage: another encoding than UTF-8, a DOCTYPE, anything malformed, rows or cells
// out of order, markup inside a value's text, attributes in an unusual form.
#ifndef KASTEL_XLSX_SHEET_CELLS_H_
#define KASTEL_XLSX_SHEET_CELLS_H_

#include <algorithm>
#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "xlsx/sheet_data_cell.h"

namespace kastel::xlsx {

class SheetCells {
 public:
  // Views and numbers only: a sheet's cells are gathered by the hundred, and moved as they are.
  struct Cell {
    int row = 0;
    int column = 0;
    CellPieces pieces;  // views into the table's own text
  };

  // Reads the worksheet part `bytes`; null when the DOM must read it.
  static std::unique_ptr<SheetCells> Scan(std::string bytes);

  // The cell at (row, column), or null when the part gives it no value.
  const Cell* Find(int row, int column) const;
  // Calls `visit(cell)` for the cells of `column` in rows `first` to `last`, in order.
  template <typename Visit>
  void ForEachInColumn(int column, int first, int last, Visit visit) const;
  // The part as it was read.
  std::string_view bytes() const { return bytes_; }
  // Every cell with a value, by rows, then columns.
  const std::vector<Cell>& cells() const { return cells_; }
  // The value of cells()[i] as Find compares it, worked out by `fold()` the first time.
  template <typename Fold>
  const std::string& Folded(std::size_t i, Fold fold) const;

 private:
  class Pass;
  explicit SheetCells(std::string bytes) : bytes_(std::move(bytes)) {}

  std::string bytes_;                // the part as read
  std::deque<std::string> decoded_;  // texts that differ from their bytes, packed in blocks
  std::vector<Cell> cells_;
  std::vector<std::uint64_t> keys_;  // row and column of each cell, for the search
  // Index into cells_ of the first cell at or after each row; empty for sheets too tall for it.
  std::vector<std::uint32_t> row_start_;
  static constexpr int kRowIndexLimit = 1 << 16;
  // Indexes into cells_ by column, then row, and where each column starts in them.
  std::vector<std::uint32_t> by_column_;
  std::vector<std::uint32_t> column_start_;
  mutable std::size_t hint_ = 0;                            // where the last search ended
  mutable std::vector<std::optional<std::string>> folded_;  // by cell, once a search asked
};

template <typename Fold>
const std::string& SheetCells::Folded(std::size_t i, Fold fold) const {
  if (folded_.empty()) folded_.resize(cells_.size());
  std::optional<std::string>& folded = folded_[i];
  if (!folded) folded = fold();
  return *folded;
}

template <typename Visit>
void SheetCells::ForEachInColumn(int column, int first, int last, Visit visit) const {
  if (column < 1 || static_cast<std::size_t>(column) + 1 >= column_start_.size()) return;
  const auto end = by_column_.begin() + column_start_[static_cast<std::size_t>(column) + 1];
  auto at =
      std::partition_point(by_column_.begin() + column_start_[static_cast<std::size_t>(column)],
                           end, [&](std::uint32_t i) { return cells_[i].row < first; });
  for (; at != end && cells_[*at].row <= last; ++at) visit(cells_[*at]);
}

}  // namespace kastel::xlsx

#endif  // KASTEL_XLSX_SHEET_CELLS_H_
