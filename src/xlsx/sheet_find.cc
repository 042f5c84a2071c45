// Cells.Find over the cells of a sheet, held as the DOM's index or as the cells of a sheet that
// was only read: each cell's text is worked out once and kept until the cell is written again,
// so that repeated searches of one sheet cost a pass over strings only.
#include <optional>
#include <string>

#include "base/vb.h"
#include "xlsx/cell_search.h"
#include "xlsx/sheet_cells.h"
#include "xlsx/sheet_data.h"
#include "xlsx/sheet_data_cell.h"
#include "xlsx/sheet_data_index.h"

namespace kastel::xlsx {

std::optional<host::CellPos> SheetData::Find(const host::FindOptions& options) {
  const CellContext context{strings_, styles_, date1904_, package_.path(), part_};
  Search search(options);
  if (const SheetCells* cells = ReadOnlyCells()) {
    for (std::size_t i = 0; i < cells->cells().size(); ++i) {
      const SheetCells::Cell& cell = cells->cells()[i];
      auto read = [&] { return CellValue(cell.pieces, context); };
      auto folded = [&]() -> const std::string& {
        return cells->Folded(i, [&] { return vb::UCase(FindText(read())); });
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
