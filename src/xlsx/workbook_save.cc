// Saving a workbook: pending references caught up, stale calculation chain and sheet titles
// dealt with, the workbook part's content type matched to the file name, then one atomic write.
#include <algorithm>

#include <fmt/format.h>

#include "base/error.h"
#include "xlsx/app_props.h"
#include "xlsx/workbook.h"
#include "xlsx/workbook_xml.h"
#include "xlsx/worksheet.h"

namespace kastel::xlsx {
namespace {

constexpr const char* kSheetMain =
    "application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml";
constexpr const char* kTemplateMain =
    "application/vnd.openxmlformats-officedocument.spreadsheetml.template.main+xml";
constexpr const char* kMacroSheetMain = "application/vnd.ms-excel.sheet.macroEnabled.main+xml";
constexpr const char* kMacroTemplateMain =
    "application/vnd.ms-excel.template.macroEnabled.main+xml";

std::string LowerExtension(const std::string& path) {
  const auto slash = path.find_last_of('/');
  const auto dot = path.rfind('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return "";
  std::string ext = path.substr(dot);
  std::transform(ext.begin(), ext.end(), ext.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return ext;
}

}  // namespace

void XlsxWorkbook::RemoveCalcChain() {
  for (const auto& rel : package_->Relationships(workbook_part_)) {
    if (!IsRelType(rel.type, "calcChain")) continue;
    if (!rel.target_part.empty()) {
      package_->Remove(rel.target_part);
      package_->RemoveOverride(rel.target_part);
    }
    package_->RemoveRelationship(workbook_part_, rel.id);
  }
}

void XlsxWorkbook::FixWorkbookContentType(const std::string& path) {
  bool macros = false;
  for (const auto& rel : package_->Relationships(workbook_part_)) {
    macros = macros || IsRelType(rel.type, "vbaProject");
  }
  const std::string ext = LowerExtension(path);
  const char* wanted = macros ? kMacroSheetMain : kSheetMain;
  if (ext == ".xlsx" || ext == ".xltx") {
    if (macros) {
      throw Error::Host(
          fmt::format("ブック'{}'にはマクロが含まれているため、{} 形式では保存できません。.xlsm "
                      "形式で保存してく"
                      "ださい。",
                      name_, ext));
    }
    wanted = ext == ".xlsx" ? kSheetMain : kTemplateMain;
  } else if (ext == ".xlsm") {
    wanted = kMacroSheetMain;
  } else if (ext == ".xltm") {
    wanted = kMacroTemplateMain;
  }
  if (package_->ContentType(workbook_part_) != wanted) {
    package_->SetOverride(workbook_part_, wanted);
  }
}

void XlsxWorkbook::Save(const std::string& path) {
  FixWorkbookContentType(path);
  names_->CatchUp();
  bool formulas_removed = sheets_copied_;
  for (XlsxWorksheet* sheet : worksheets_) {
    sheet->CatchUpRenames();
    formulas_removed = formulas_removed || sheet->formulas_removed();
  }
  if (formulas_removed) RemoveCalcChain();
  if (sheet_list_changed_) {
    std::vector<std::string> titles;
    for (XlsxWorksheet* sheet : worksheets_) titles.push_back(sheet->Name());
    RewriteSheetTitles(*package_, titles);
  }
  package_->Save(path);
}

}  // namespace kastel::xlsx
