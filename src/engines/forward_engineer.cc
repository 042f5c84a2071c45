// The flow every engine shares: layout, folder choice, the three files, every definition sheet.
#include <exception>
#include <memory>
#include <string>
#include <utility>

#include "base/error.h"
#include "engines/engine.h"
#include "engines/ora_tools.h"
#include "engines/pgs_tools.h"
#include "engines/sheet_reader.h"
#include "engines/sql_tools.h"
#include "model/defines.h"
#include "util/folder_browser_dialog.h"
#include "util/shell.h"
#include "util/stream_writer.h"

namespace kastel::engines {
namespace {

constexpr const char* kFolderPrompt = "出力先フォルダを指定してください。";
constexpr const char* kNoSheets = "テーブル定義書が1件も存在しません。";
constexpr const char* kDone = "スクリプトファイルの作成が完了しました。";

// The three script files, closed together. Closing on a failure keeps what was written and
// lets the user open the files as soon as the failure is shown.
struct ScriptFiles {
  explicit ScriptFiles(TextEncoding encoding)
      : table(encoding), index(encoding), comment(encoding) {}

  void Open(const std::string& folder) {
    table.Open_(folder + "table.sql", false);
    index.Open_(folder + "index.sql", false);
    comment.Open_(folder + "comment.sql", false);
  }
  void Close() {
    table.Close_();
    index.Close_();
    comment.Close_();
  }
  // After a failure: closes what is still open; a second failure would only hide the first.
  void CloseQuietly() noexcept {
    for (StreamWriter* w : {&table, &index, &comment}) {
      try {
        if (w->is_open()) w->Close_();
      } catch (const std::exception&) {
      }
    }
  }

  StreamWriter table;
  StreamWriter index;
  StreamWriter comment;
};

}  // namespace

void Engine::Initialize(host::Workbook& wb) { context_.defines.LoadLayout(wb); }

Engine::BlockBuilder Engine::ColumnsBlock(host::Worksheet& ws, unsigned fields, ColumnsText build) {
  SheetReader sheet(context_.defines, ws, context_.columns_read);
  std::string title = sheet.TableTitle();
  std::string table = sheet.TableName();
  return [table = std::move(table), title = std::move(title), columns = sheet.SharedColumns(fields),
          build = std::move(build)] { return build(table, title, *columns); };
}

Engine::BlockBuilder Engine::IndexesBlock(host::Worksheet& ws, IndexesText build) {
  SheetReader sheet(context_.defines, ws, context_.columns_read);
  std::string title = sheet.TableTitle();
  std::string table = sheet.TableName();
  return [table = std::move(table), title = std::move(title), indexes = sheet.Indexes(),
          build = std::move(build)] { return build(table, title, indexes); };
}

void Engine::ForwardEngineer(host::Workbook& wb) {
  EngineContext& ctx = context_;
  ScriptFiles files(ctx.encoding.value_or(lfScriptEncoding()));
  try {
    Initialize(wb);

    FolderBrowserDialog dialog(ctx.shell);
    dialog.SetDescription(kFolderPrompt);
    dialog.SetRootFolder(ctx.shell.GetEnv("USERPROFILE").value_or("") + "/デスクトップ");
    dialog.SetSelectedPath(ctx.last_output_folder.empty() ? ctx.shell.CurrentDirectory()
                                                          : ctx.last_output_folder);
    dialog.SetShowNewFolderButton(true);
    if (!dialog.ShowDialog()) return;
    // An empty choice means the root, as the separator alone names it.
    ctx.last_output_folder = dialog.SelectedPath();
    if (ctx.last_output_folder.empty() || ctx.last_output_folder.back() != '/') {
      ctx.last_output_folder += '/';
    }

    files.Open(ctx.last_output_folder);
    int count = 0;
    for (int i = 1; i <= wb.WorksheetCount(); ++i) {
      host::Worksheet& ws = wb.Worksheets(i);
      if (!model::Defines::IsDefinitionSheet(ws)) {
        if (ctx.sheet_observer) ctx.sheet_observer(ws, false);
        continue;
      }
      ++count;
      if (ctx.columns_read) ctx.columns_read->Clear();
      files.table.Write_(lfTableBlock(wb, ws));
      files.index.Write_(lfIndexBlock(wb, ws));
      files.comment.Write_(lfCommentBlock(wb, ws));
      if (ctx.sheet_observer) ctx.sheet_observer(ws, true);
    }
    files.Close();

    if (count < 1) {
      ctx.shell.MessageBox(kNoSheets, kMsgExclamation, model::kMessageTitle);
    } else {
      ctx.shell.MessageBox(kDone, kMsgInformation, model::kMessageTitle);
    }
  } catch (...) {
    files.CloseQuietly();
    ctx.defines.ErrMsgCurrent("ForwardEngineer");
  }
}

std::unique_ptr<Engine> NewEngine(std::string_view dialect, EngineContext& context) {
  if (dialect == "ORA") return std::make_unique<OraTools>(context);
  if (dialect == "PGS") return std::make_unique<PgsTools>(context);
  return std::make_unique<SqlTools>(context);
}

}  // namespace kastel::engines
