// The cells of one worksheet part: values read and written, Find, ClearContents and internal
// hyperlinks. Parsed from the package on first use and indexed by row and column; a SheetData
// that was only read can be released and parsed again later.
#ifndef KASTEL_XLSX_SHEET_DATA_H_
#define KASTEL_XLSX_SHEET_DATA_H_

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "base/value.h"
#include "host/host.h"
#include "xlsx/package.h"
#include "xlsx/shared_strings.h"
#include "xlsx/sheet_cells.h"
#include "xlsx/sheet_read_ahead.h"
#include "xlsx/styles.h"

namespace kastel::xlsx {

class SheetData {
 public:
  // `part` is the worksheet part ("xl/worksheets/sheet1.xml"). `date1904` is the workbook's
  // date system. Nothing is parsed until the first call. With `ahead`, a part only read is
  // taken from it when it was read ahead, and the next sheet is read ahead in turn.
  SheetData(Package& package, std::string part, SharedStrings& strings, Styles& styles,
            bool date1904, SheetReadAhead* ahead = nullptr);
  ~SheetData();
  SheetData(const SheetData&) = delete;
  SheetData& operator=(const SheetData&) = delete;

  const std::string& part() const { return part_; }
  // True once any write changed the part since it was opened.
  bool modified() const;
  // True once a formula was removed or overwritten (the workbook must then drop calcChain).
  bool formulas_removed() const;

  // True while the part's cells are held, read in one pass or as a DOM: reading one costs
  // no parse.
  bool holds_cells() const { return index_ != nullptr || cells_ != nullptr; }
  // The cells of a part that was read in one pass, while they are held; null otherwise. A read
  // then takes a look-up and ValueOf, the way the checks and the script read every sheet.
  const SheetCells* held_cells() const { return index_ ? nullptr : cells_.get(); }
  // The value of one of held_cells(), as Get gives it.
  Value ValueOf(const SheetCells::Cell& cell) const;

  // Cells(row, column).Value: shared, inline and formula strings, numbers, booleans, error
  // values; numbers in a date format read as dates (VB serials). Empty when there is no cell.
  Value Get(int row, int column);
  // Writes the value keeping the cell's style (s); text is written inline with _xHHHH_
  // escaping; a formula in the cell is removed; an empty or null value clears the cell. Text
  // that starts with an apostrophe is stored as the text after it. Throws error 1004 outside
  // the sheet's limits.
  void Set(int row, int column, const Value& value);

  // Cells.Find over the cells that hold a value (see host::FindOptions).
  std::optional<host::CellPos> Find(const host::FindOptions& options);

  // Range(a1_range).ClearContents: values and formulas go, styles stay; shared-formula
  // dependants outside the range are kept as ordinary formulas. Throws error 1004 for a
  // malformed range.
  void ClearContents(std::string_view a1_range);

  // An internal hyperlink on `anchor` (A1) to `location` (already in "'Sheet'!A1" form), with
  // `display` shown; replaces a hyperlink on the same cell.
  void AddHyperlink(std::string_view anchor, std::string_view location, std::string_view display);

  // Range(a1_range).Hyperlinks.Delete: every hyperlink on a cell of the range goes, with the
  // relationship of an outside one; values and styles stay. Throws error 1004 for a malformed
  // range.
  void DeleteHyperlinks(std::string_view a1_range);
  // The location of the internal hyperlink on the cell ("'12'!A1"), or "" when the cell has no
  // hyperlink or one to an outside address.
  std::string HyperlinkLocation(int row, int column);

  // Renames sheet `from` to `to` in every formula and hyperlink location of this sheet.
  void RenameSheetReferences(std::string_view from, std::string_view to);

  // The part's DOM, parsed from the bytes its one-pass read holds when they are still the
  // part's: a sheet read and then written is inflated once.
  pugi::xml_document& Dom();

  // Frees the parsed part (a modified one is kept by the package as text); the next call parses
  // it again.
  void Release();

 private:
  class Index;
  // The DOM and its index, parsed on first use; from then on every read and write uses them.
  Index& Load();
  // The cells read in one pass while the sheet is only read; null once the DOM is loaded or
  // when the pass leaves the part to the DOM.
  const SheetCells* ReadOnlyCells();

  Package& package_;
  std::string part_;
  SharedStrings& strings_;
  Styles& styles_;
  bool date1904_;
  SheetReadAhead* ahead_;
  std::unique_ptr<Index> index_;  // null until loaded
  std::unique_ptr<SheetCells> cells_;
  bool cells_tried_ = false;
  // The part's bytes read ahead unscanned, until the DOM is parsed from them.
  std::string unscanned_;
  bool taken_unscanned_ = false;
  bool modified_ = false;
  bool formulas_removed_ = false;
};

}  // namespace kastel::xlsx

#endif  // KASTEL_XLSX_SHEET_DATA_H_
