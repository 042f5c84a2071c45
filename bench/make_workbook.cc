// Generates a definition workbook of N tables from the default template, the way a designer
// would make it: each table is a copy of the template sheet, filled with columns and indexes.
// Usage: make_workbook TEMPLATE OUT.xlsx TABLES [COLUMNS] [DIALECT]
#include <cstdlib>
#include <iostream>
#include <string>

#include <fmt/format.h>

#include "host/host.h"
#include "base/error.h"
#include "xlsx/application.h"

namespace {

using kastel::Value;

void FillTable(kastel::host::Worksheet& ws, int table, int columns, bool oracle) {
  ws.SetCell(4, 3, Value::Text(fmt::format("TBL_{:04d}", table)));
  ws.SetCell(5, 3, Value::Text(fmt::format("テーブル{}", table)));
  for (int c = 0; c < columns; ++c) {
    const int row = 8 + c;
    ws.SetCell(row, 3, Value::Text(fmt::format("COL_{:02d}", c + 1)));
    ws.SetCell(row, 4, Value::Text(fmt::format("列{}", c + 1)));
    const char* type =
        c % 3 == 0 ? (oracle ? "NUMBER(10)" : "int") : (oracle ? "VARCHAR2(40)" : "nvarchar(40)");
    ws.SetCell(row, 5, Value::Text(type));
    if (c % 2 == 0) ws.SetCell(row, 6, Value::Text("否"));
    if (c % 5 == 4) ws.SetCell(row, 7, Value::Text("0"));
    if (c % 7 == 3) ws.SetCell(row, 18, Value::Text(fmt::format("備考 {}", c + 1)));
  }
  // Index 0: primary key on the first column; 1: unique on columns 2 and 3; 2: plain on 4.
  ws.SetCell(8, 8, Value::Number(1));
  ws.SetCell(9, 9, Value::Number(1));
  ws.SetCell(10, 9, Value::Number(2));
  ws.SetCell(11, 10, Value::Number(1));
  ws.SetCell(6, 21, Value::Text(fmt::format("PK_TBL_{:04d}", table)));
  ws.SetCell(6, 22, Value::Text("P"));
  ws.SetCell(7, 21, Value::Text(fmt::format("UX_TBL_{:04d}", table)));
  ws.SetCell(7, 22, Value::Text("U"));
  ws.SetCell(8, 21, Value::Text(fmt::format("IX_TBL_{:04d}", table)));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    std::cerr << "usage: make_workbook TEMPLATE OUT.xlsx TABLES [COLUMNS] [SQL|ORA]\n";
    return 2;
  }
  const int tables = std::atoi(argv[3]);
  const int columns = argc > 4 ? std::atoi(argv[4]) : 50;
  const std::string dialect = argc > 5 ? argv[5] : "SQL";
  try {
    kastel::xlsx::XlsxApplication app(std::cerr);
    kastel::host::Workbook& wb = app.AddWorkbook(argv[1]);
    auto& props = wb.CustomDocumentProperties();
    try {
      props.Item("DB").SetValue(Value::Text(dialect));
    } catch (const kastel::Error&) {
      props.AddText("DB", dialect);
    }
    kastel::host::Worksheet& tmpl = wb.Worksheets("template");
    for (int t = 1; t <= tables; ++t) {
      tmpl.Copy(tmpl);
      kastel::host::Worksheet& ws = wb.Worksheets(wb.WorksheetCount() - 1);
      ws.SetVisible(true);
      ws.SetName(std::to_string(t));
      FillTable(ws, t, columns, dialect == "ORA");
    }
    app.SaveAs(wb, argv[2]);
  } catch (const kastel::Error& e) {
    std::cerr << e.description() << "\n";
    return 1;
  }
  return 0;
}
