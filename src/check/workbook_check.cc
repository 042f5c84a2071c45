#include "workbook_check.h"

#include <cstdint>
#include <optional>
#include <set>
#include <string_view>

#include "base/error.h"
#include "base/vb.h"
#include "model/defines.h"
#include "sheet_check.h"
#include "util/shell.h"

namespace kastel::check {
namespace {

constexpr const char* kAdoptHint = "kastel adopt で書き込めます";

std::int32_t ColumnNumber(std::string_view letters) {
  std::int32_t n = 0;
  for (char c : letters) n = n * 26 + (c - 'A' + 1);
  return n;
}

// "='@LIST'!$B$2:$B$28" -> sheet "@LIST", rows 2..28, columns 2..2. False for anything else.
bool ParseRange(std::string text, std::string& sheet, std::int32_t (&box)[4]) {
  if (text.starts_with('=')) text.erase(0, 1);
  const std::size_t bang = text.rfind('!');
  if (bang == std::string::npos) return false;
  sheet = text.substr(0, bang);
  if (sheet.size() >= 2 && sheet.front() == '\'' && sheet.back() == '\'') {
    std::string plain;
    for (std::size_t i = 1; i + 1 < sheet.size(); ++i) {
      plain += sheet[i];
      if (sheet[i] == '\'' && sheet[i + 1] == '\'') ++i;
    }
    sheet = plain;
  }
  std::string cells;
  for (char c : text.substr(bang + 1)) {
    if (c != '$') cells += c;
  }
  const std::size_t colon = cells.find(':');
  const std::string ends[2] = {cells.substr(0, colon),
                               colon == std::string::npos ? cells : cells.substr(colon + 1)};
  for (int e = 0; e < 2; ++e) {
    const std::string& a1 = ends[e];
    std::size_t i = 0;
    while (i < a1.size() && a1[i] >= 'A' && a1[i] <= 'Z') ++i;
    if (i == 0 || i == a1.size() || i > 3 || a1.size() - i > 7) return false;
    for (std::size_t k = i; k < a1.size(); ++k) {
      if (a1[k] < '0' || a1[k] > '9') return false;
    }
    box[e * 2] = static_cast<std::int32_t>(std::stol(a1.substr(i)));
    box[e * 2 + 1] = ColumnNumber(a1.substr(0, i));
  }
  return box[0] <= box[2] && box[1] <= box[3] && (box[2] - box[0]) < 1000;
}

// The base names of the list the name "DATA_TYPE" points at; none when there is no usable list.
std::optional<std::set<std::string>> TypeList(host::Workbook& wb) {
  try {
    const std::optional<std::string> refers = wb.WorkbookNames().RefersTo(model::kDataTypeName);
    std::string sheet;
    std::int32_t box[4] = {};
    if (!refers || !ParseRange(*refers, sheet, box)) return std::nullopt;
    host::Worksheet& list = wb.Worksheets(sheet);
    std::set<std::string> types;
    for (std::int32_t row = box[0]; row <= box[2]; ++row) {
      for (std::int32_t col = box[1]; col <= box[3]; ++col) {
        const Value v = list.Cell(row, col);
        if (v.kind() != Value::Kind::kText) continue;
        if (std::string base = BaseTypeName(v.text()); !base.empty()) types.insert(base);
      }
    }
    if (types.empty()) return std::nullopt;
    return types;
  } catch (const Error&) {
    return std::nullopt;
  }
}

Finding WorkbookError(std::string what, std::string effect) {
  return Finding{Severity::kError, "", "", "", std::move(what), std::move(effect)};
}

// A sheet the script output skips although it looks like a definition sheet: hidden with the
// marker, or shown with a table name and columns but without the marker.
void CheckSkippedSheet(model::Defines& defines, host::Worksheet& ws, std::vector<Finding>& out) {
  const std::string name = ws.Name();
  if (name == model::kTemplateSheet || name == model::kListSheet || name == model::kTypeListSheet) {
    return;
  }
  const model::Layout& layout = defines.layout();
  const Value table = ws.Cell(layout.table_name.row, layout.table_name.col);
  const std::string table_text = table.kind() == Value::Kind::kError ? "" : defines.CStrEx(table);
  const std::string cell =
      model::Defines::ColumnLetter(layout.table_name.col) + std::to_string(layout.table_name.row);
  if (ws.Visible() == host::Visibility::kHidden) {
    host::FindOptions marker;
    marker.what = std::string(model::kSheetMarker);
    if (!ws.Find(marker)) return;
    out.push_back(Finding{Severity::kWarning, name, table_text, cell, "シートが非表示です",
                          "スクリプト出力はこのシートを読みません"});
    return;
  }
  const Value first = ws.Cell(layout.column_name.row, layout.column_name.col);
  if (table_text.empty() || first.kind() == Value::Kind::kError || defines.IsEmptyEx(first)) {
    return;
  }
  out.push_back(
      Finding{Severity::kWarning, name, table_text, cell,
              "定義シートの目印のセル「" + std::string(model::kSheetMarker) + "」がありません",
              "スクリプト出力はこのシートを読みません"});
}

}  // namespace

std::string MissingProperty(host::Workbook& wb) {
  if (model::Defines::GetDocProperty(wb, "TEMPLATE") != "DB") return "TEMPLATE";
  for (const model::LayoutParam& param : model::kLayoutParams) {
    if (!model::Defines::DocPropertyExists(wb, param.property)) return std::string(param.property);
  }
  return "";
}

WorkbookCheck::WorkbookCheck(host::Workbook& wb, const CheckOptions& options) {
  report_.workbook = wb.Name();
  if (std::string missing = MissingProperty(wb); missing == "TEMPLATE") {
    report_.findings.push_back(WorkbookError(
        "文書プロパティ TEMPLATE が \"DB\" ではないため、テーブル定義書として扱われません",
        std::string("スクリプト出力のボタンは無効です。") + kAdoptHint));
    return;
  } else if (!missing.empty()) {
    report_.findings.push_back(
        WorkbookError("文書プロパティ " + missing + " がありません",
                      std::string("スクリプト出力は何も書かずに止まります。") + kAdoptHint));
    return;
  }
  try {
    defines_.LoadLayout(wb);
  } catch (const Error& e) {
    std::string text = e.description();
    for (char& c : text) {
      if (c == '\r' || c == '\n') c = ' ';
    }
    report_.findings.push_back(
        WorkbookError("レイアウトのプロパティを読めません: " + text,
                      std::string("スクリプト出力は何も書かずに止まります。") + kAdoptHint));
    return;
  }
  const std::string db = model::Defines::GetDocProperty(wb, "DB");
  context_.emplace(CheckContext{defines_,
                                RulesFor(db, options.oracle_long_names),
                                db == "ORA",
                                options.cp932,
                                TypeList(wb),
                                {}});
}

void WorkbookCheck::Sheet(host::Worksheet& ws, bool definition, engines::ColumnsRead* read) {
  if (!context_) return;
  if (!definition) {
    CheckSkippedSheet(defines_, ws, report_.findings);
    return;
  }
  ++report_.sheets_read;
  SheetCheck(*context_, ws, report_.findings, read).Run();
}

Report CheckWorkbook(host::Workbook& wb, const CheckOptions& options) {
  WorkbookCheck check(wb, options);
  if (!check.ready()) return check.report();
  for (int i = 1; i <= wb.WorksheetCount(); ++i) {
    host::Worksheet& ws = wb.Worksheets(i);
    check.Sheet(ws, model::Defines::IsDefinitionSheet(ws));
  }
  return check.report();
}

}  // namespace kastel::check
