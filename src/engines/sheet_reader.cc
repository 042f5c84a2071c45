#include "engines/sheet_reader.h"

#include "base/error.h"
#include "base/vb.h"
#include "model/defines.h"

namespace kastel::engines {

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
    if (i == names_.size()) names_.push_back(ws_.Cell(row, first.col));
    const Value& name = names_[i];
    if (defines_.IsEmptyEx(name)) break;
    visit(row, name);
  }
}

std::vector<ColumnRow> SheetReader::Columns(unsigned fields) {
  const model::Layout& layout = defines_.layout();
  std::vector<ColumnRow> rows;
  WalkColumns([&](std::int32_t row, const Value& name) {
    ColumnRow& c = rows.emplace_back();
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

std::string SheetReader::KeyColumns(int index) {
  const std::int32_t key_col = defines_.layout().index_column.col + index;
  std::array<std::string, kKeySlots + 1> slots;  // slot 0 unused: positions are 1-based
  WalkColumns([&](std::int32_t row, const Value& name) {
    Value key = ws_.Cell(row, key_col);
    // A mark such as ○ or an error value is not a position: the column is not in the index.
    if (defines_.IsEmptyEx(key) || !vb::IsNumeric(key)) return;
    const std::int16_t pos = vb::CInt(key);
    if (pos < 1 || pos > kKeySlots) throw Error::Runtime(RuntimeError::kSubscript);
    slots[static_cast<std::size_t>(pos)] = defines_.CStrEx(name);
  });
  // A gap ends the list: positions 1, 2 and 4 list only the first two columns.
  std::string list;
  for (std::size_t i = 1; i <= kKeySlots && !slots[i].empty(); ++i) {
    if (i > 1) list += ", ";
    list += slots[i];
  }
  return list;
}

std::vector<IndexRow> SheetReader::Indexes() {
  const model::Layout& layout = defines_.layout();
  std::vector<IndexRow> rows;
  for (int i = 0; i < model::kMaxIndexRows; ++i) {
    const std::int32_t row = layout.index_name.row + i;
    std::string name = Text(row, layout.index_name.col);
    if (name.empty()) break;
    IndexRow& x = rows.emplace_back();
    x.name = std::move(name);
    x.constraint_type = Text(row, layout.constraint_type.col);
    x.key_columns = KeyColumns(i);
  }
  return rows;
}

}  // namespace kastel::engines
