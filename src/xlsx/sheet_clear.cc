// Range.ClearContents: values and formulas go, the cells' styles stay.
#include <string_view>
#include <utility>
#include <vector>

#include "xlsx/a1.h"
#include "xlsx/sheet_data.h"
#include "xlsx/sheet_data_cell.h"
#include "xlsx/sheet_data_index.h"
#include "xlsx/sheet_data_xml.h"

namespace kastel::xlsx {

void SheetData::ClearContents(std::string_view a1_range) {
  const std::optional<RangeRef> range = ParseRange(a1_range);
  if (!range) throw HostRefused();
  Index& index = Load();

  // An array formula cannot be cut in part: one that meets the range goes whole.
  std::vector<RangeRef> areas{*range};
  for (const RangeRef& array : index.ArraysMeeting(*range)) areas.push_back(array);

  bool changed = false;
  std::vector<std::pair<int, int>> bare;  // cells left without value or style
  for (const RangeRef& area : areas) {
    for (Index::Row& row : index.rows()) {
      if (row.number < area.first.row) continue;
      if (row.number > area.last.row) break;
      for (Index::Cell& cell : row.cells) {
        if (cell.column < area.first.column || cell.column > area.last.column) continue;
        const bool held = cell.node.first_child() || cell.node.attribute("t");
        if (index.DropFormula(row.number, cell)) formulas_removed_ = true;
        ClearCellValue(cell.node);
        cell.folded_ready = false;
        if (!cell.node.attribute("s")) bare.emplace_back(row.number, cell.column);
        changed = changed || held || !cell.node.attribute("s");
      }
    }
  }
  for (const auto& [row, column] : bare) index.RemoveCell(row, column);
  if (changed) {
    package_.MarkModified(part_);
    modified_ = true;
  }
}

}  // namespace kastel::xlsx
