#include "engines/sheet_reader.h"

#include "base/error.h"
#include "base/vb.h"
#include "model/defines.h"

namespace kastel::engines {

SheetReader::SheetReader(model::Defines& defines, host::Worksheet& ws, ColumnsRead* tap)
    : defines_(defines), ws_(ws), tap_(tap) {
  if (tap && tap->names) {
    names_ = tap->names;
    return;
  }
  names_ = std::make_shared<std::vector<Value>>();
  if (tap) tap->names = names_;
}

std::string SheetReader::Text(std::int32_t row, std::int32_t col) {
  return defines_.CStrEx(ws_.Cell(row, col));
}

std::string SheetReader::TableName() {
  const model::LayoutPos& pos = defines_.layout().table_name;
  return Text(pos.row, pos.col);
}

std::string SheetReader::TableTitle() {
  const model::LayoutPos& pos = defines_.layout().table_title;
  return Text(pos.row, pos.col);
}

template <typename Visit>
void SheetReader::WalkColumns(Visit visit) {
  const model::LayoutPos& first = defines_.layout().column_name;
  std::size_t i = 0;
  for (std::int32_t row = first.row; row <= model::kLastColumnRow; ++row, ++i) {
    // The index block walks the names once per index; the sheet does not change meanwhile.
    std::vector<Value>& names = *names_;
    if (i == names.size()) names.push_back(ws_.Cell(row, first.col));
    const Value& name = names[i];
    if (defines_.IsEmptyEx(name)) break;
    visit(row, name);
  }
}

std::vector<ColumnRow> SheetReader::Columns(unsigned fields) {
  const model::Layout& layout = defines_.layout();
  std::vector<ColumnRow> rows;
  // Room for a usual table: growing would move every text of the rows read so far.
  rows.reserve(64);
  WalkColumns([&](std::int32_t row, const Value& name) {
    ColumnRow& c = rows.emplace_back();
    c.row = row;
    c.name = defines_.CStrEx(name);
    if (fields & kTableFields) {
      c.data_type = Text(row, layout.data_type.col);
      c.nullable = Text(row, layout.nullable.col);
      c.default_value = Text(row, layout.default_value.col);
    }
    if (fields & kCommentFields) {
      c.title = Text(row, layout.column_title.col);
      c.comment = Text(row, layout.column_comment.col);
    }
  });
  return rows;
}

std::shared_ptr<const std::vector<ColumnRow>> SheetReader::SharedColumns(unsigned fields) {
  auto rows = std::make_shared<const std::vector<ColumnRow>>(Columns(fields));
  if (tap_ && fields == kTableFields) tap_->table = rows;
  if (tap_ && fields == kCommentFields) tap_->comment = rows;
  return rows;
}

std::vector<KeyCell> SheetReader::KeyCells(int index) {
  if (tap_) {
    if (auto known = tap_->keys.find(index); known != tap_->keys.end()) return known->second;
  }
  std::vector<KeyCell> cells = ReadKeyCells(index);
  if (tap_) tap_->keys.emplace(index, cells);
  return cells;
}

std::vector<KeyCell> SheetReader::ReadKeyCells(int index) {
  const std::int32_t key_col = defines_.layout().index_column.col + index;
  std::int32_t rows = 0;  // of the block; their names are then the first of names_
  WalkColumns([&](std::int32_t /*row*/, const Value& /*name*/) { ++rows; });
  std::vector<KeyCell> cells;
  if (rows == 0) return cells;
  // A matrix column is mostly empty: only the rows that hold something are read.
  const std::int32_t first = defines_.layout().column_name.row;
  for (const std::int32_t row : ws_.FilledRows(key_col, first, first + rows - 1)) {
    Value key = ws_.Cell(row, key_col);
    if (defines_.IsEmptyEx(key)) continue;
    const Value& name = (*names_)[static_cast<std::size_t>(row - first)];
    cells.push_back(KeyCell{row, defines_.CStrEx(name), std::move(key)});
  }
  return cells;
}

std::string SheetReader::KeyColumns(int index) {
  std::array<std::string, kKeySlots + 1> slots;  // slot 0 unused: positions are 1-based
  for (const KeyCell& cell : KeyCells(index)) {
    // A mark such as ○ or an error value is not a position: the column is not in the index.
    if (!vb::IsNumeric(cell.value)) continue;
    const std::int16_t pos = vb::CInt(cell.value);
    if (pos < 1 || pos > kKeySlots) throw Error::Runtime(RuntimeError::kSubscript);
    slots[static_cast<std::size_t>(pos)] = cell.column;
  }
  // A gap ends the list: positions 1, 2 and 4 list only the first two columns.
  std::string list;
  for (std::size_t i = 1; i <= kKeySlots && !slots[i].empty(); ++i) {
    if (i > 1) list += ", ";
    list += slots[i];
  }
  return list;
}

// Each key column list is read before the next index row, as the script has always read them,
// so that a key failure leaves the rows below unread.
std::vector<IndexRow> SheetReader::ReadIndexes(bool with_keys) {
  const model::Layout& layout = defines_.layout();
  std::vector<IndexRow> rows;
  for (int i = 0; i < model::kMaxIndexRows; ++i) {
    const std::int32_t row = layout.index_name.row + i;
    std::string name = Text(row, layout.index_name.col);
    if (name.empty()) break;
    IndexRow& x = rows.emplace_back();
    x.row = row;
    x.name = std::move(name);
    x.constraint_type = Text(row, layout.constraint_type.col);
    if (with_keys) x.key_columns = KeyColumns(i);
  }
  return rows;
}

std::vector<IndexRow> SheetReader::IndexHeads() { return ReadIndexes(false); }

std::vector<IndexRow> SheetReader::Indexes() { return ReadIndexes(true); }

}  // namespace kastel::engines
