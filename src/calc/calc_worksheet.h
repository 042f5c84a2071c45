// A worksheet of a Calc document. The wrapped sheet object follows its sheet when sheets are
// inserted or moved before it, so a wrapper stays bound to the same sheet for the workbook's
// life, whatever its position.
#ifndef KASTEL_CALC_CALC_WORKSHEET_H_
#define KASTEL_CALC_CALC_WORKSHEET_H_

#include <optional>
#include <string>
#include <string_view>

#include <com/sun/star/sheet/XSpreadsheet.hpp>
#include <com/sun/star/table/XCell.hpp>
#include <com/sun/star/table/XCellRange.hpp>

#include "host/host.h"

namespace kastel::calc {

class CalcWorkbook;

class CalcWorksheet final : public host::Worksheet {
 public:
  CalcWorksheet(CalcWorkbook& workbook, css::uno::Reference<css::sheet::XSpreadsheet> sheet);

  std::string Name() const override;
  void SetName(std::string_view name) override;
  host::Visibility Visible() const override;
  void SetVisible(bool visible) override;
  void Activate() override;
  void Select() override;
  void Copy(host::Worksheet& before) override;
  Value Cell(int row, int column) const override;
  void SetCell(int row, int column, const Value& value) override;
  std::optional<host::CellPos> Find(const host::FindOptions& options) const override;
  void ClearContents(std::string_view a1_range) override;
  void AddHyperlink(std::string_view anchor_a1, std::string_view sub_address,
                    std::string_view text_to_display) override;
  std::string HyperlinkSubAddress(int row, int column) const override;
  void DeleteHyperlinks(std::string_view a1_range) override;
  std::string PrintArea() const override;
  void SetPrintArea(std::string_view a1_range) override;
  host::Workbook& Parent() override;

  // The sheet's 0-based position in tab order now.
  int Position() const;
  const css::uno::Reference<css::sheet::XSpreadsheet>& sheet() const { return sheet_; }

 private:
  // Cells(row, column); error 1004 outside the sheet.
  css::uno::Reference<css::table::XCell> CellAt(int row, int column) const;
  // Range(a1); error 1004 for an address Calc does not accept.
  css::uno::Reference<css::table::XCellRange> RangeAt(std::string_view a1) const;
  // Error 1004 when a change to the sheet did not take.
  void CheckChanged(bool changed) const;

  CalcWorkbook& workbook_;
  css::uno::Reference<css::sheet::XSpreadsheet> sheet_;
};

// "A", "Z", "AA" for columns 1, 26, 27.
std::string ColumnLetters(int column);

// A sheet name as a reference writes it ('O''Brien' or Sheet1), without its quotes.
std::string UnquotedSheetName(std::string_view sheet);

}  // namespace kastel::calc

#endif  // KASTEL_CALC_CALC_WORKSHEET_H_
