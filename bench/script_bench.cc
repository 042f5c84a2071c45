// The floor of script output: what `kastel script` cannot avoid doing. It opens the workbook
// through the workbook host, loads the layout and reads every cell the generation reads (each
// once), and writes nothing. `kastel script` on the same workbook is measured against it.
// Usage: script_bench WORKBOOK
#include <iostream>
#include <sstream>
#include <string>

#include "host/host.h"
#include "base/error.h"
#include "model/defines.h"
#include "term/term_shell.h"
#include "xlsx/application.h"

namespace {

using kastel::host::Worksheet;

// Reads the cells of one definition sheet; returns the number of bytes of text read.
std::size_t ReadSheet(kastel::model::Defines& defines, Worksheet& ws) {
  const kastel::model::Layout& l = defines.layout();
  std::size_t bytes = 0;
  auto read = [&](int row, int col) { bytes += defines.CStrEx(ws.Cell(row, col)).size(); };
  read(l.table_name.row, l.table_name.col);
  read(l.table_title.row, l.table_title.col);
  int indexes = 0;
  while (indexes < kastel::model::kMaxIndexRows &&
         !defines.CStrEx(ws.Cell(l.index_name.row + indexes, l.index_name.col)).empty()) {
    read(l.index_name.row + indexes, l.constraint_type.col);
    ++indexes;
  }
  for (int row = l.column_name.row; row <= kastel::model::kLastColumnRow; ++row) {
    const std::string name = defines.CStrEx(ws.Cell(row, l.column_name.col));
    if (name.empty()) break;
    bytes += name.size();
    for (int col : {l.column_title.col, l.data_type.col, l.nullable.col, l.default_value.col,
                    l.column_comment.col}) {
      read(row, col);
    }
    for (int i = 0; i < indexes; ++i) read(row, l.index_column.col + i);
  }
  return bytes;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: script_bench WORKBOOK\n";
    return 2;
  }
  std::ostringstream out, err;
  std::istringstream in;
  kastel::term::TermShell shell(out, err, in, false);
  try {
    kastel::xlsx::XlsxApplication app(std::cerr);
    kastel::host::Workbook& wb = app.Open(argv[1]);
    kastel::model::Defines defines(shell);
    defines.LoadLayout(wb);
    std::size_t bytes = 0;
    int sheets = 0;
    for (int i = 1; i <= wb.WorksheetCount(); ++i) {
      Worksheet& ws = wb.Worksheets(i);
      if (!kastel::model::Defines::IsDefinitionSheet(ws)) continue;
      bytes += ReadSheet(defines, ws);
      ++sheets;
    }
    std::cout << sheets << " sheets, " << bytes << " bytes of cell text\n";
  } catch (const kastel::Error& e) {
    std::cerr << e.description() << "\n";
    return 1;
  }
  return 0;
}
