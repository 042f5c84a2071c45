// A workbook of the headless application: workbook.xml and its relationships over one package.
// Sheets are listed in tab order; the cells of a sheet are parsed when first used, and only a
// few sheets that were merely read stay parsed, so that reading many sheets in turn needs the
// memory of a few.
#ifndef KASTEL_XLSX_WORKBOOK_H_
#define KASTEL_XLSX_WORKBOOK_H_

#include <list>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include <pugixml.hpp>

#include "host/host.h"
#include "xlsx/doc_props.h"
#include "xlsx/names.h"
#include "xlsx/package.h"
#include "xlsx/shared_strings.h"
#include "xlsx/sheet_read_ahead.h"
#include "xlsx/styles.h"
#include "xlsx/workbook_renames.h"

namespace kastel::xlsx {

class XlsxWorksheet;

class XlsxWorkbook final : public host::Workbook {
 public:
  // Reads workbook.xml and its relationships. `name` is what Name() gives. Throws
  // kFileFormatError when the package holds no readable workbook.
  XlsxWorkbook(host::Application& app, std::unique_ptr<Package> package, std::string name);
  ~XlsxWorkbook() override;
  XlsxWorkbook(const XlsxWorkbook&) = delete;
  XlsxWorkbook& operator=(const XlsxWorkbook&) = delete;

  // ---- host::Workbook ----
  std::string Name() const override;
  int WorksheetCount() const override;
  host::Worksheet& Worksheets(int index) override;
  host::Worksheet& Worksheets(std::string_view name) override;
  host::Worksheet& ActiveSheet() override;
  host::DocumentProperties& CustomDocumentProperties() override;
  host::Names& WorkbookNames() override;
  host::Application& App() override;

  // ---- for the application ----
  void set_name(std::string name) { name_ = std::move(name); }
  // Writes the workbook to `path` (see XlsxApplication::SaveAs).
  void Save(const std::string& path);

  // ---- for the worksheets ----
  Package& package() { return *package_; }
  SharedStrings& strings() { return *strings_; }
  Styles& styles() { return *styles_; }
  bool date1904() const { return date1904_; }
  const std::string& workbook_part() const { return workbook_part_; }
  XlsxNames& names() { return *names_; }
  SheetReadAhead& read_ahead() { return *read_ahead_; }
  RenameLog& renames() { return renames_; }
  void MarkWorkbookModified() { package_->MarkModified(workbook_part_); }

  // The 0-based tab position of a sheet among all sheets (chart sheets included), as
  // localSheetId and activeTab count.
  int TabOf(const XlsxWorksheet& sheet) const;
  // The worksheet that has the name, ignoring case; null when none.
  XlsxWorksheet* FindSheet(std::string_view name) const;
  // True when a sheet of any kind other than `except` has the name, ignoring case.
  bool NameTaken(std::string_view name, const XlsxWorksheet* except = nullptr) const;
  // Number of sheets (any kind) that are not hidden.
  int VisibleSheetCount() const;
  // activeTab of the first workbookView, kept inside the sheet list.
  int ActiveTab() const;
  void SetActiveTab(int tab);
  // The tab bar must not start at a hidden sheet: moves firstSheet off `tab` when it is there.
  void MoveFirstTabOff(int tab);
  // The first visible worksheet after (else before) the given tab.
  int NeighbourVisibleTab(int tab) const;

  // A worksheet's cells were used: it becomes the most recent, and sheets beyond the few kept
  // that were only read are released.
  void Touch(XlsxWorksheet& sheet) {
    // Every cell read touches its sheet, mostly the one touched last: no call for that.
    if (recent_.empty() || recent_.front() != &sheet) Promote(sheet);
  }
  // True while the sheet is among the few kept parsed.
  bool IsRecent(const XlsxWorksheet& sheet) const;

  // Inserts a copy of `source` before `before` (both of this workbook); returns it.
  XlsxWorksheet& CopySheet(XlsxWorksheet& source, XlsxWorksheet& before);
  // Records a rename that SetName checked: the lookup, the rename log, the titles of app.xml.
  void SheetRenamed(XlsxWorksheet& sheet, const std::string& from, const std::string& to);

 private:
  void Promote(XlsxWorksheet& sheet);
  // The part of the first shown worksheet after `part` in tab order; "" when there is none.
  std::string PartAfter(std::string_view part);
  // The index of the first shown sheet from `i` on; the number of sheets when there is none.
  std::size_t ShownFrom(std::size_t i) const;
  struct Tab {
    pugi::xml_node entry;                  // <sheet> in workbook.xml
    std::unique_ptr<XlsxWorksheet> sheet;  // null for chart and dialog sheets
  };
  void LoadSheets(const std::vector<Relationship>& rels);
  void RebuildWorksheetList();
  pugi::xml_node WorkbookView(bool create);
  std::string FindRelated(const std::vector<Relationship>& rels, std::string_view kind);
  void RemoveCalcChain();
  // Charts and pivot caches name sheets too; they catch up with the renames at save.
  void CatchUpOtherParts();
  void FixWorkbookContentType(const std::string& path);

  host::Application& app_;
  std::unique_ptr<Package> package_;
  std::string name_;
  std::string workbook_part_;
  pugi::xml_node root_;
  std::unique_ptr<SharedStrings> strings_;
  std::unique_ptr<Styles> styles_;
  bool date1904_ = false;
  RenameLog renames_;
  std::unique_ptr<XlsxNames> names_;
  std::unique_ptr<XlsxDocumentProperties> doc_props_;
  std::vector<Tab> tabs_;
  std::vector<XlsxWorksheet*> worksheets_;  // the worksheets of tabs_, in order
  std::list<XlsxWorksheet*> recent_;        // most recently used first
  // Every sheet by folded name; null for chart and dialog sheets, which share the name space.
  std::unordered_map<std::string, XlsxWorksheet*> by_name_;
  bool sheet_list_changed_ = false;
  bool sheets_copied_ = false;
  // Per folder and file stem of copied parts ("xl/worksheets/sheet.xml"), the number to try
  // first for the next copy, so that copying n sheets does not probe every taken name each time.
  std::map<std::string, int> next_part_number_;
  std::size_t others_applied_ = 0;   // renames the chart and pivot parts are written at
  std::size_t part_after_hint_ = 0;  // where PartAfter found the last part
  // Last, so that it ends first: its worker may still be reading a part of this workbook.
  std::unique_ptr<SheetReadAhead> read_ahead_;
};

}  // namespace kastel::xlsx

#endif  // KASTEL_XLSX_WORKBOOK_H_
