#include "xlsx/sheet_data.h"

#include <utility>

#include "xlsx/a1.h"
#include "xlsx/sheet_cells.h"
#include "xlsx/sheet_data_cell.h"
#include "xlsx/sheet_data_index.h"
#include "xlsx/sheet_data_xml.h"

namespace kastel::xlsx {

SheetData::SheetData(Package& package, std::string part, SharedStrings& strings, Styles& styles,
                     bool date1904, SheetReadAhead* ahead)
    : package_(package),
      part_(std::move(part)),
      strings_(strings),
      styles_(styles),
      date1904_(date1904),
      ahead_(ahead) {}

SheetData::~SheetData() {
  if (index_) package_.Unpin(part_);
}

bool SheetData::modified() const { return modified_; }

bool SheetData::formulas_removed() const { return formulas_removed_; }

SheetData::Index& SheetData::Load() {
  if (!index_) {
    index_ = std::make_unique<Index>(Dom(), package_.path(), part_);
    // The index points into the DOM: nothing may free it while the index lives.
    package_.Pin(part_);
    if (cells_ && ahead_) {
      // Read in one pass, then parsed after all: the walk writes its sheets.
      ahead_->NoteParsed();
      ahead_->Dispose(std::move(cells_));
    }
    cells_.reset();
  }
  return *index_;
}

namespace {

// Cells(row, column) itself fails outside the sheet, before any value is read or written.
void CheckOnSheet(int row, int column) {
  if (row < 1 || row > kMaxRow || column < 1 || column > kMaxColumn) throw HostRefused();
}

}  // namespace

pugi::xml_document& SheetData::Dom() {
  if (cells_ && !index_ && package_.Original(part_)) return package_.XmlOf(part_, cells_->bytes());
  const std::string bytes = std::move(unscanned_);
  unscanned_.clear();
  if (!bytes.empty() && package_.Original(part_)) return package_.XmlOf(part_, bytes);
  return package_.Xml(part_);
}

const SheetCells* SheetData::ReadOnlyCells() {
  if (index_) return nullptr;
  if (!cells_tried_) {
    cells_tried_ = true;
    // A DOM someone else parsed is the part as it is now; its bytes may be older.
    if (!package_.Parsed(part_)) {
      std::optional<SheetReadAhead::Ahead> ahead;
      if (ahead_) ahead = ahead_->Take(part_);
      if (ahead && !ahead->cells && !ahead->bytes.empty()) {
        // Read ahead unscanned while the sheets before were written: the DOM reads this one.
        unscanned_ = std::move(ahead->bytes);
        taken_unscanned_ = true;
      } else {
        cells_ = ahead ? std::move(ahead->cells) : SheetCells::Scan(package_.Read(part_));
      }
      if (ahead_) ahead_->StartAfter(part_);
    }
  }
  return cells_.get();
}

Value SheetData::Get(int row, int column) {
  CheckOnSheet(row, column);
  if (const SheetCells* cells = ReadOnlyCells()) {
    const SheetCells::Cell* cell = cells->Find(row, column);
    return cell ? ValueOf(*cell) : Value();
  }
  Index& index = Load();
  Index::Cell* cell = index.FindCell(row, column);
  if (!cell) return Value();
  return ReadCell(cell->node, CellContext{strings_, styles_, date1904_, package_.path(), part_});
}

Value SheetData::ValueOf(const SheetCells::Cell& cell) const {
  return CellValue(cell.pieces, CellContext{strings_, styles_, date1904_, package_.path(), part_});
}

void SheetData::Set(int row, int column, const Value& value) {
  CheckOnSheet(row, column);
  CheckWritable(value);
  Index& index = Load();
  if (index.ArrayAt(row, column)) {
    throw HostRefused("配列の一部を変更することはできません。");
  }
  const bool clears = value.kind() == Value::Kind::kEmpty || value.kind() == Value::Kind::kNull ||
                      (value.kind() == Value::Kind::kText && value.text().empty());
  Index::Cell* existing = index.FindCell(row, column);
  if (!existing && clears) return;
  Index::Cell& cell = existing ? *existing : index.EnsureCell(row, column);
  if (index.DropFormula(row, cell)) formulas_removed_ = true;
  cell.folded_ready = false;
  WriteCell(cell.node, value, CellContext{strings_, styles_, date1904_, package_.path(), part_},
            index.prefix());
  if (clears && !cell.node.attribute("s")) index.RemoveCell(row, column);
  package_.MarkModified(part_);
  modified_ = true;
}

void SheetData::Release() {
  if (ahead_) ahead_->Dispose(std::move(cells_));
  cells_.reset();
  // Taken unscanned and let go unwritten: the walk only reads, and a scan serves it better.
  if (ahead_ && taken_unscanned_ && !modified_) ahead_->NoteOnlyRead();
  taken_unscanned_ = false;
  unscanned_.clear();
  cells_tried_ = false;
  if (!index_) return;
  index_.reset();
  package_.Unpin(part_);
  package_.Release(part_);
}

}  // namespace kastel::xlsx
