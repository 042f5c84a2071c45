#include "engines/index_import.h"

#include <algorithm>
#include <string>
#include <vector>

#include "base/vb.h"
#include "model/defines.h"
#include "util/shell.h"

namespace kastel::engines {

std::string FieldText(data::Recordset& rs, std::string_view name) {
  Value v = rs.Field(name);
  if (v.kind() == Value::Kind::kNull || v.is_empty()) return "";
  return vb::Concat(v);
}

namespace {

// How many indexes the sheet has room for: the rows of the index block, and the matrix columns
// from INDEX_COLUMN up to, not into, the column-comment column when that stands to the right.
int IndexRoom(const model::Layout& layout) {
  const int columns = layout.column_comment.col - layout.index_column.col;
  if (columns <= 0) return model::kMaxIndexRows;
  return std::min<int>(model::kMaxIndexRows, columns);
}

// Worded as the other engines word it, so that one table's message reads the same whatever the
// dialect.
void ReportSkipped(model::Defines& defines, host::Worksheet& ws, int room,
                   const std::vector<std::string>& skipped) {
  const model::Layout& layout = defines.layout();
  const std::string table = defines.CStrEx(ws.Cell(layout.table_name.row, layout.table_name.col));
  std::string names;
  for (const std::string& name : skipped) names += (names.empty() ? "" : ", ") + name;
  defines.ErrMsg("テーブル'" + table + "'の次のインデックスは読み込めませんでした。\r\n" +
                     "インデックス欄 (" + std::to_string(room) +
                     "個まで) に入らないインデックス: " + names,
                 kMsgExclamation, model::kIndexOverflowProcedure);
}

}  // namespace

void WriteIndexes(model::Defines& defines, host::Worksheet& ws, data::Recordset& rs,
                  const std::function<IndexKeyRow(data::Recordset&)>& read,
                  const ColumnSearch& search) {
  const model::Layout& layout = defines.layout();
  const int room = IndexRoom(layout);
  int index = 0;
  std::string previous;
  std::vector<std::string> skipped;
  for (; !rs.Eof(); rs.MoveNext()) {
    IndexKeyRow key = read(rs);
    if (key.index_name != previous) {
      if (!previous.empty()) ++index;
      previous = key.index_name;
      if (index >= room) {
        skipped.push_back(key.index_name);
      } else {
        ws.SetCell(layout.index_name.row + index, layout.index_name.col,
                   Value::Text(key.index_name));
        ws.SetCell(layout.index_name.row + index, layout.constraint_type.col,
                   Value::Text(key.constraint_type));
      }
    }
    if (index >= room) continue;
    host::FindOptions find;
    find.what = key.column_name;
    find.after = {layout.column_name.row - 1, layout.column_name.col};
    find.order = search.order;
    std::optional<host::CellPos> cell = ws.Find(find);
    if (!cell) continue;
    if (search.name_column_only && cell->column != layout.column_name.col) continue;
    ws.SetCell(cell->row, layout.index_column.col + index, key.position);
  }
  if (!skipped.empty()) ReportSkipped(defines, ws, room, skipped);
}

}  // namespace kastel::engines
