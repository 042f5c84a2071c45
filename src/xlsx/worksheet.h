// A worksheet of an XlsxWorkbook: its <sheet> entry in workbook.xml (name, visibility), its
// view state, and its cells through SheetData. References in the part catch up with sheet
// renames when the part is next written or saved.
#ifndef KASTEL_XLSX_WORKSHEET_H_
#define KASTEL_XLSX_WORKSHEET_H_

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include <pugixml.hpp>

#include "host/host.h"
#include "xlsx/cell_memo.h"
#include "xlsx/sheet_data.h"

namespace kastel::xlsx {

class XlsxWorkbook;

class XlsxWorksheet final : public host::Worksheet {
 public:
  // `entry` is the sheet's <sheet> element; `part` its worksheet part. `renames_applied` is
  // the point of the workbook's rename log that the part's text is written at.
  XlsxWorksheet(XlsxWorkbook& workbook, pugi::xml_node entry, std::string part,
                std::size_t renames_applied);
  ~XlsxWorksheet() override;

  // ---- host::Worksheet ----
  std::string Name() const override;
  void SetName(std::string_view name) override;
  host::Visibility Visible() const override;
  void SetVisible(bool visible) override;
  void Activate() override;
  void Select() override;
  void Copy(host::Worksheet& before) override;
  Value Cell(int row, int column) const override;
  std::vector<int> FilledRows(int column, int first, int last) const override;
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

  // ---- for the workbook ----
  const std::string& part() const { return part_; }
  pugi::xml_node entry() const { return entry_; }
  // Rewrites the part's references to renamed sheets, once per rename.
  void CatchUpRenames();
  // Sets or clears sheetView@tabSelected in the part.
  void SetTabSelected(bool selected);
  // Frees the parsed cells when they were only read.
  void ReleaseParsed();
  bool formulas_removed() const { return data_ && data_->formulas_removed(); }

 private:
  SheetData& Data() const;

  XlsxWorkbook& workbook_;
  pugi::xml_node entry_;
  std::string part_;
  mutable std::unique_ptr<SheetData> data_;
  mutable CellMemo memo_;
  std::size_t renames_applied_;
};

// The worksheet-part location for a hyperlink sub-address: "1!R1C1" -> "'1'!A1",
// "'a b'!$B$2" -> "'a b'!$B$2"; a name without a sheet is kept. Throws error 1004 when the
// reference cannot be read.
std::string HyperlinkLocation(std::string_view sub_address);

}  // namespace kastel::xlsx

#endif  // KASTEL_XLSX_WORKSHEET_H_
