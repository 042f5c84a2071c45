// Finding definition sheets, making new ones from the template sheet, showing the template and
// pointing the data-type list at the workbook's dialect.
#include <cstdint>
#include <string>
#include <string_view>

#include "base/error.h"
#include "base/vb.h"
#include "model/defines.h"
#include "util/shell.h"

namespace kastel::model {

bool Defines::IsDefinitionSheet(host::Worksheet& ws) {
  if (ws.Visible() == host::Visibility::kHidden) return false;
  if (ws.Name() == kTemplateSheet) return false;
  host::FindOptions marker;
  marker.what = std::string(kSheetMarker);
  marker.after = {1, 1};
  marker.order = host::SearchOrder::kByRows;
  marker.whole_cell = true;
  marker.match_case = false;
  return ws.Find(marker).has_value();
}

std::int32_t Defines::ColumnBlockEnd(host::Worksheet& ws) const {
  const LayoutPos& first = layout_.column_name;
  std::int32_t row = first.row;
  while (row <= kLastColumnRow && !vb::Concat(ws.Cell(row, first.col)).empty()) ++row;
  return row;
}

host::Worksheet* Defines::GetSheet(std::string_view table_name, host::Workbook& wb, bool create) {
  host::Worksheet* sheet = nullptr;
  try {
    const std::string key = vb::UCase(table_name);
    const LayoutPos& name_cell = layout_.table_name;
    const int count = wb.WorksheetCount();
    for (int i = 1; i <= count; ++i) {
      host::Worksheet& ws = wb.Worksheets(i);
      if (vb::UCase(vb::Concat(ws.Cell(name_cell.row, name_cell.col))) == key) return &ws;
    }
    if (!create) return nullptr;
    host::Worksheet& templ = wb.Worksheets(kTemplateSheet);
    templ.Copy(templ);
    // The template sheet is the last one, so its copy sits just before it.
    sheet = &wb.Worksheets(wb.WorksheetCount() - 1);
    // Shown before it is named: a name the host refuses leaves the table on this copy, which
    // must then be a definition sheet like any other, listed and written out.
    sheet->SetVisible(true);
    sheet->SetName(table_name);
    return sheet;
  } catch (const Error& e) {
    ErrMsg(e.description(), kMsgExclamation, "GetSheet");
    return sheet;
  }
}

void Defines::DispTemplate(host::Workbook& wb) {
  try {
    Where::Scope at(where_, wb.Name() + " " + Where::SheetPart(std::string(kTemplateSheet)));
    host::Worksheet& templ = wb.Worksheets(kTemplateSheet);
    const bool was_shown = templ.Visible() != host::Visibility::kHidden;
    templ.SetVisible(!was_shown);
    if (!was_shown) templ.Select();
  } catch (const Error& e) {
    ErrMsg(e.description(), kMsgExclamation, "DispTemplate");
  }
}

void Defines::SetDataTypeList(host::Workbook& wb) {
  if (GetDocProperty(wb, "TEMPLATE") != "DB") return;
  const std::string dialect = GetDocProperty(wb, "DB");
  const char* list = "='@LIST'!R2C2:R28C2";
  if (dialect == "ORA") {
    list = "='@LIST'!R2C3:R21C3";
  } else if (dialect == "PGS") {
    list = "='@LIST'!R2C4:R32C4";
  }
  host::Names& names = wb.WorkbookNames();
  names.Delete(kDataTypeName);
  names.AddR1C1(kDataTypeName, list);
}

}  // namespace kastel::model
