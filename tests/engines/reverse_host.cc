#include "reverse_host.h"

#include <utility>

#include <stdexcept>
#include "base/vb.h"
#include "model/defines.h"

namespace kastel::testing {

ImportHost::ImportHost(Recording recording, term::LoginAnswers answers, bool interactive,
                       const std::string& typed)
    : HostProcess(typed, interactive),
      provider_(std::move(recording), GoldenTexts()),
      view_(err_, in_, interactive, std::move(answers), shell_) {
  shell_.SetEnv("KASTEL_PASSWORD", "secret");
  kastel_.engine_context().provider = &provider_;
  kastel_.engine_context().login_view = &view_;
}

host::Workbook& ImportHost::NewBook(const std::string& dialect) {
  host::Workbook& wb = app_.AddWorkbook(KASTEL_TEST_TEMPLATE);
  model::Defines::SetDocProperty(wb, "DB", dialect);
  return wb;
}

void ImportHost::PressReverse() {
  if (!Press("リバースエンジニア")) {
    throw std::runtime_error("リバースエンジニア could not be pressed");
  }
}

std::string CellText(host::Worksheet& ws, int row, int col) {
  Value v = ws.Cell(row, col);
  return v.is_empty() || v.kind() == Value::Kind::kNull ? "" : vb::Concat(v);
}

host::Worksheet* SheetOfTable(host::Workbook& wb, const std::string& table) {
  for (int i = 1; i <= wb.WorksheetCount(); ++i) {
    if (CellText(wb.Worksheets(i), 4, 3) == table) return &wb.Worksheets(i);
  }
  return nullptr;
}

std::string ColumnRowText(host::Worksheet& ws, int row) {
  std::string text;
  for (int col : {3, 4, 5, 6, 7, 18}) text += (col == 3 ? "" : "|") + CellText(ws, row, col);
  for (int col = 8; col <= 17; ++col) {
    std::string mark = CellText(ws, row, col);
    if (!mark.empty()) text += " " + model::Defines::ColumnLetter(col) + "=" + mark;
  }
  return text;
}

std::vector<std::string> IndexBlockText(host::Worksheet& ws) {
  std::vector<std::string> rows;
  for (int row = 6; row <= 15; ++row) {
    std::string name = CellText(ws, row, 21), type = CellText(ws, row, 22);
    if (name.empty() && type.empty()) break;
    rows.push_back(name + "|" + type);
  }
  return rows;
}

}  // namespace kastel::testing
