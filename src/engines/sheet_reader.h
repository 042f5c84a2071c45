// SheetReader: one reading of a definition sheet, shared by both dialects. It walks the column
// block, the index block and the index matrix exactly as the layout positions of the workbook
// loaded last describe them, and turns every cell into text through the model's helpers (so a
// cell holding an error value is reported and read as "").
#ifndef KASTEL_ENGINES_SHEET_READER_H_
#define KASTEL_ENGINES_SHEET_READER_H_

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "host/host.h"

namespace kastel::model {
class Defines;
}  // namespace kastel::model

namespace kastel::engines {

// One row of the column block. Fields a block does not ask for stay "".
struct ColumnRow {
  std::int32_t row = 0;  // the sheet row it stands on
  std::string name;
  std::string title;
  std::string data_type;
  std::string nullable;
  std::string default_value;
  std::string comment;
};

// Which cells of a column row to read besides the name.
enum ColumnFields : unsigned {
  kNameOnly = 0,
  kTableFields = 1,    // data type, nullable mark, default
  kCommentFields = 2,  // title, comment
};

// A filled cell of the index matrix, as the column walk meets it.
struct KeyCell {
  std::int32_t row = 0;
  std::string column;  // the column name of that row
  Value value;         // the cell as it stands, not yet read as a position
};

// What the script's blocks read from one sheet, shared with the blocks: the workbook check that
// rides along the script takes it from here instead of the cells.
struct ColumnsRead {
  std::shared_ptr<const std::vector<ColumnRow>> table;    // read with kTableFields
  std::shared_ptr<const std::vector<ColumnRow>> comment;  // read with kCommentFields
  // The name cells of the column block read so far, in order, kept by every reader of the sheet:
  // each block and the check walk them, and the sheet does not change meanwhile.
  std::shared_ptr<std::vector<Value>> names;
  // The filled cells of each index's matrix column read so far: the index block and the check
  // both walk them.
  std::map<int, std::vector<KeyCell>> keys;

  void Clear() {
    table.reset();
    comment.reset();
    names.reset();
    keys.clear();
  }
};

// One row of the index block with the key column list of its index.
struct IndexRow {
  std::int32_t row = 0;  // the sheet row it stands on
  std::string name;
  std::string constraint_type;
  std::string key_columns;  // "A, B, C"; "" when position 1 is unused
};

// Key positions an index can hold.
inline constexpr int kKeySlots = 11;

class SheetReader {
 public:
  // Both must outlive the reader; the layout of `defines` must have been loaded. The column
  // rows and name cells read are also shared through `tap` when there is one.
  SheetReader(model::Defines& defines, host::Worksheet& ws, ColumnsRead* tap = nullptr);

  std::string TableName();
  std::string TableTitle();

  // The column rows from the first one down to the row before the first empty name cell, never
  // beyond row 520.
  std::vector<ColumnRow> Columns(unsigned fields);
  // The same, shared with the tap when there is one.
  std::shared_ptr<const std::vector<ColumnRow>> SharedColumns(unsigned fields);

  // The index rows down to the first empty name (at most ten), each with its key column list.
  // Throws kastel::Error 9 for a key position outside 1 to 11 and 6 for one beyond 16 bits.
  std::vector<IndexRow> Indexes();

  // The index rows as Indexes() walks them, without their key column lists.
  std::vector<IndexRow> IndexHeads();
  // The non-empty cells of index `index`'s matrix column, row by row over the column block.
  std::vector<KeyCell> KeyCells(int index);

 private:
  std::string Text(std::int32_t row, std::int32_t col);
  // Calls `visit(row, name cell)` for every row of the column block.
  template <typename Visit>
  void WalkColumns(Visit visit);
  std::vector<KeyCell> ReadKeyCells(int index);
  std::string KeyColumns(int index);
  std::vector<IndexRow> ReadIndexes(bool with_keys);

  model::Defines& defines_;
  host::Worksheet& ws_;
  ColumnsRead* tap_;
  std::shared_ptr<std::vector<Value>> names_;  // the name cells of the column block read so far
};

}  // namespace kastel::engines

#endif  // KASTEL_ENGINES_SHEET_READER_H_
