// The flow both engines share for reading a catalogue into definition sheets.
#include <exception>
#include <memory>
#include <string>

#include "base/error.h"
#include "engines/engine.h"
#include "engines/server_place.h"
#include "model/defines.h"
#include "util/shell.h"

namespace kastel::engines {
namespace {

constexpr const char* kNoSchema = "スキーマ情報が読み込めません。";
// The column block and the index block as the template lays them out; emptied whatever the
// layout says.
constexpr const char* kColumnBlock = "C8:R520";
constexpr const char* kIndexBlock = "U6:V14";
constexpr int kIndexBlockRows = 10;

// Leaves the application as the import found it: the remembered sheet active, the status bar
// given back, the screen repainting. Runs on every path once the screen was switched off.
class ScreenGuard {
 public:
  explicit ScreenGuard(host::Workbook& wb) : app_(wb.App()), active_(&wb.ActiveSheet()) {
    app_.SetScreenUpdating(false);
  }
  ScreenGuard(const ScreenGuard&) = delete;
  ScreenGuard& operator=(const ScreenGuard&) = delete;
  ~ScreenGuard() {
    // A host that refuses even these has nothing left to report them to.
    try {
      if (active_ != nullptr) active_->Activate();
    } catch (const std::exception&) {
    }
    try {
      app_.ResetStatusBar();
    } catch (const std::exception&) {
    }
    try {
      app_.SetScreenUpdating(true);
    } catch (const std::exception&) {
    }
  }

 private:
  host::Application& app_;
  host::Worksheet* active_;
};

// The index block of the layout, both its columns, so that no index of an earlier import is
// left below the fixed range.
void ClearIndexBlock(const model::Layout& layout, host::Worksheet& ws) {
  const int top = layout.index_name.row;
  const int bottom = top + kIndexBlockRows - 1;
  for (int col : {layout.index_name.col, layout.constraint_type.col}) {
    const std::string letter = model::Defines::ColumnLetter(col);
    ws.ClearContents(letter + std::to_string(top) + ":" + letter + std::to_string(bottom));
  }
}

}  // namespace

void Engine::ReverseEngineer(host::Workbook& wb) {
  model::Defines& defines = context_.defines;
  model::Where::BookScope book(defines.where(), wb.Name());
  Initialize(wb);
  if (!lfDbOpen(wb)) return;

  try {
    ScreenGuard screen(wb);
    std::unique_ptr<data::Recordset> rs;
    {
      model::Where::Scope at(defines.where(), ServerPart(wb) + " " + std::string(kStepSchemaQuery));
      rs = lfSelect(lfSchemaQuery());
    }
    if (!rs) {
      defines.RefreshList(wb);
      return;
    }
    struct CloseAtEnd {
      data::Recordset& rs;
      ~CloseAtEnd() {
        try {
          rs.Close();
        } catch (const std::exception&) {
        }
      }
    } close_at_end{*rs};

    if (rs->Eof()) {
      context_.shell.MessageBox(std::string(kNoSchema) + "\r\n" + std::string(lfEmptyHint()),
                                kMsgExclamation, model::kMessageTitle);
      return;
    }
    const int total = context_.status_counts ? CountTables(*rs) : 0;
    {
      model::Where::Scope at(defines.where(), ServerPart(wb));
      for (int done = 1; !rs->Eof(); ++done) WriteTable(wb, *rs, done, total);
    }
    defines.RefreshList(wb);
  } catch (...) {
    defines.ErrMsgCurrent("ReverseEngineer");
  }
}

int Engine::CountTables(data::Recordset& rs) {
  int count = 0;
  std::string previous;
  for (; !rs.Eof(); rs.MoveNext()) {
    CatalogRow row = lfReadRow(rs);
    if (count == 0 || !lfSameTable(row.source, previous)) ++count;
    previous = row.source;
  }
  // Back to the first row: removing a filter that was never set rebuilds the whole view.
  rs.SetFilter("");
  return count;
}

void Engine::WriteTable(host::Workbook& wb, data::Recordset& rs, int done, int total) {
  model::Defines& defines = context_.defines;
  const model::Layout& layout = defines.layout();
  CatalogRow first = lfReadRow(rs);
  // A name the comment gives for another table would never match the rows below it; such a
  // table is written under the name the catalogue gives it.
  const std::string name = lfSameTable(first.table, first.source) ? first.table : first.source;

  model::Where::Scope at(defines.where(), model::Where::TablePart(name));
  std::string status = "'" + name + "'を処理中です。";
  if (total > 0) status += " (" + std::to_string(done) + "/" + std::to_string(total) + ")";
  wb.App().SetStatusBar(status);

  host::Worksheet* found = defines.GetSheet(name, wb, true);
  if (found == nullptr) throw Error::Runtime(RuntimeError::kObjectNotSet);
  host::Worksheet& ws = *found;
  ws.ClearContents(kColumnBlock);
  ws.ClearContents(kIndexBlock);
  ClearIndexBlock(layout, ws);
  ws.SetCell(layout.table_name.row, layout.table_name.col, Value::Text(name));
  ws.SetCell(layout.table_title.row, layout.table_title.col, Value::Text(first.title));

  const int columns[6] = {layout.column_name.col,   layout.column_title.col,
                          layout.data_type.col,     layout.nullable.col,
                          layout.default_value.col, layout.column_comment.col};
  int r = layout.column_name.row - 1;
  while (!rs.Eof()) {
    CatalogRow row = lfReadRow(rs);
    if (!lfSameTable(row.source, first.source)) break;
    ++r;
    for (int k = 0; k < 6; ++k) ws.SetCell(r, columns[k], Value::Text(row.cells[k]));
    rs.MoveNext();
  }
  {
    model::Where::Scope step(defines.where(), std::string(kStepIndexQuery));
    lfIndexImport(wb, ws, name);
  }
  defines.NoteTableImported();
}

}  // namespace kastel::engines
