// Saving a workbook: pending references caught up, stale calculation chain and sheet titles
// dealt with, the workbook part's content type matched to the file name, then one atomic write.
#include <algorithm>
#include <utility>

#include <fmt/format.h>

#include "base/error.h"
#include "xlsx/app_props.h"
#include "xlsx/formula.h"
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

void XlsxWorkbook::CatchUpOtherParts() {
  if (others_applied_ == renames_.size()) return;
  const std::size_t since = std::exchange(others_applied_, renames_.size());
  for (const auto& part : package_->PartNames()) {
    const std::string type = package_->ContentType(part);
    const bool chart = type.ends_with("drawingml.chart+xml");
    const bool pivot = type.ends_with("pivotCacheDefinition+xml");
    if (!chart && !pivot) continue;
    pugi::xml_node root = package_->Xml(part).document_element();
    bool changed = false;
    if (chart) {  // series and titles refer to cells by formula (c:f)
      const std::vector<std::string> present = SheetNamesInXml(root);
      ApplyRenames(renames_.Follow(since, present), present,
                   [&](std::string_view from, std::string_view to) {
                     for (pugi::xpath_node f : root.select_nodes("//*[local-name()='f']")) {
                       const std::string text = f.node().text().get();
                       const std::string renamed = RenameSheetInFormula(text, from, to);
                       if (renamed != text) {
                         f.node().text().set(renamed.c_str());
                         changed = true;
                       }
                     }
                   });
    } else {  // a pivot cache names its source sheet plainly
      for (pugi::xpath_node n : root.select_nodes("//*[local-name()='worksheetSource'][@sheet]")) {
        pugi::xml_attribute sheet = n.node().attribute("sheet");
        for (const auto& [from, to] : renames_.Follow(since, {sheet.value()})) {
          sheet.set_value(to.c_str());
          changed = true;
        }
      }
    }
    if (changed) {
      package_->MarkModified(part);
    } else {
      package_->Release(part);
    }
  }
}

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
  CatchUpOtherParts();
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
