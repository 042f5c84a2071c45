#include "engines/index_import.h"

#include "base/vb.h"
#include "model/defines.h"

namespace kastel::engines {

std::string FieldText(data::Recordset& rs, std::string_view name) {
  Value v = rs.Field(name);
  if (v.kind() == Value::Kind::kNull || v.is_empty()) return "";
  return vb::Concat(v);
}

void WriteIndexes(model::Defines& defines, host::Worksheet& ws, data::Recordset& rs,
                  const std::function<IndexKeyRow(data::Recordset&)>& read,
                  const ColumnSearch& search) {
  const model::Layout& layout = defines.layout();
  int index_row = layout.index_name.row;
  int matrix_col = layout.index_column.col;
  std::string previous;
  for (; !rs.Eof(); rs.MoveNext()) {
    IndexKeyRow key = read(rs);
    if (key.index_name != previous) {
      if (!previous.empty()) {
        ++index_row;
        ++matrix_col;
      }
      previous = key.index_name;
      ws.SetCell(index_row, layout.index_name.col, Value::Text(key.index_name));
      ws.SetCell(index_row, layout.constraint_type.col, Value::Text(key.constraint_type));
    }
    host::FindOptions find;
    find.what = key.column_name;
    find.after = {layout.column_name.row - 1, layout.column_name.col};
    find.order = search.order;
    std::optional<host::CellPos> cell = ws.Find(find);
    if (!cell) continue;
    if (search.name_column_only && cell->column != layout.column_name.col) continue;
    ws.SetCell(cell->row, matrix_col, key.position);
  }
}

}  // namespace kastel::engines
