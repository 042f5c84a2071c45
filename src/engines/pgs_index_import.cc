// The indexes of one PostgreSQL table onto its definition sheet. Only what a sheet can hold is
// written: indexes on plain columns without a condition, as many as the index block and the
// matrix have room for. The others are named in one message for the table, and the import goes
// on.
#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "base/error.h"
#include "engines/index_import.h"
#include "engines/pgs_tools.h"
#include "model/defines.h"
#include "util/shell.h"

namespace kastel::engines {
namespace {

struct Key {
  std::string column;
  Value position;
};

struct Index {
  std::string name;
  std::string type;
  bool skipped = false;  // an expression or a condition: no place on the sheet
  std::vector<Key> keys;
};

std::vector<Index> ReadIndexes(data::Recordset& rs) {
  std::vector<Index> indexes;
  for (; !rs.Eof(); rs.MoveNext()) {
    const std::string name = FieldText(rs, "INDEX_NAME");
    if (indexes.empty() || indexes.back().name != name) {
      indexes.push_back({name, FieldText(rs, "CONSTRAINT_TYPE"), false, {}});
    }
    Index& x = indexes.back();
    x.skipped = x.skipped || FieldText(rs, "SKIPPED") == "1";
    x.keys.push_back({FieldText(rs, "COLUMN_NAME"), rs.Field("KEY_POSITION")});
  }
  return indexes;
}

std::string NameList(const std::vector<std::string>& names) {
  std::string list;
  for (const std::string& name : names) list += (list.empty() ? "" : ", ") + name;
  return list;
}

}  // namespace

void PgsTools::lfIndexImport(host::Workbook& /*wb*/, host::Worksheet& ws,
                             const std::string& table) {
  model::Defines& defines = context().defines;
  const model::Layout& layout = defines.layout();
  std::unique_ptr<data::Recordset> rs = lfSelect(lfIndexQuery(schema_, table));
  // lfSelect has shown why; the import ends here as a missing object would end it.
  if (!rs) throw Error::Runtime(RuntimeError::kObjectNotSet);
  const std::vector<Index> indexes = ReadIndexes(*rs);

  // The matrix stops before the comment column when that stands to its right.
  int room = model::kMaxIndexRows;
  if (layout.column_comment.col > layout.index_column.col) {
    room = std::min(room, layout.column_comment.col - layout.index_column.col);
  }
  // The rows of the column block by name: PostgreSQL names are exact, as the sheet holds them.
  std::vector<std::string> columns;
  for (int r = layout.column_name.row; r <= model::kLastColumnRow; ++r) {
    Value v = ws.Cell(r, layout.column_name.col);
    if (defines.IsEmptyEx(v)) break;
    columns.push_back(defines.CStrEx(v));
  }

  std::vector<std::string> unreadable, no_room;
  int k = 0;
  for (const Index& x : indexes) {
    if (x.skipped) {
      unreadable.push_back(x.name);
      continue;
    }
    if (k >= room) {
      no_room.push_back(x.name);
      continue;
    }
    ws.SetCell(layout.index_name.row + k, layout.index_name.col, Value::Text(x.name));
    ws.SetCell(layout.index_name.row + k, layout.constraint_type.col, Value::Text(x.type));
    for (const Key& key : x.keys) {
      auto at = std::find(columns.begin(), columns.end(), key.column);
      if (at == columns.end()) continue;
      const int row = layout.column_name.row + static_cast<int>(at - columns.begin());
      ws.SetCell(row, layout.index_column.col + k, key.position);
    }
    ++k;
  }
  if (unreadable.empty() && no_room.empty()) return;
  std::string message = "テーブル'" + table + "'の次のインデックスは読み込めませんでした。";
  if (!unreadable.empty()) message += "\r\n式または条件付きのインデックス: " + NameList(unreadable);
  if (!no_room.empty()) {
    message += "\r\nインデックス欄 (" + std::to_string(room) +
               "個まで) に入らないインデックス: " + NameList(no_room);
  }
  defines.ErrMsg(message, kMsgExclamation, "lfIndexImport");
}

}  // namespace kastel::engines
