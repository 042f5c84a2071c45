// kastel script WORKBOOK [-o DIR] [--encoding cp932|utf-8] [--crlf] [--check]: presses
// 「スクリプト出力」 and writes table.sql, index.sql and comment.sql. The workbook is never saved:
// script output changes nothing in it. The workbook check reads each sheet along with the script
// and, when it finds errors, says how many; with --check, errors keep anything from being written.
#include <exception>
#include <filesystem>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <system_error>

#include "base/error.h"
#include "check/report.h"
#include "check/workbook_check.h"
#include "cli/command.h"
#include "cli/exit_status.h"
#include "engines/engine.h"
#include "util/stream_writer.h"

namespace kastel::cli {
namespace {

struct Args {
  std::string workbook;
  std::string encoding;  // "": the dialect's own
  bool crlf = false;
  bool check_first = false;
  bool mkdir = false;
  bool no_check = false;
  SessionOptions options;
};

// Makes the folder given with -o when it is missing; false (with the reason) when it cannot.
bool MakeOutputFolder(CommandContext& ctx, const std::string& folder) {
  std::error_code ec;
  if (folder.empty() || std::filesystem::exists(folder, ec)) return true;
  std::filesystem::create_directories(folder, ec);
  if (!ec) return true;
  ctx.err << "kastel: 出力先フォルダ '" << folder << "' を作れません: " << ec.message() << '\n';
  return false;
}

// The check riding along the script output's walk of the sheets: each sheet is checked while
// the script's reading of it is still parsed, so the workbook is read once for both.
class RideAlong {
 public:
  RideAlong(host::Workbook& wb, const check::CheckOptions& options, engines::EngineContext& engine)
      : wb_(wb), engine_(engine) {
    try {
      check_.emplace(wb, options);
    } catch (const std::exception&) {
      return;
    }
    engine_.columns_read = &columns_read_;
    engine_.sheet_observer = [this](host::Worksheet& ws, bool definition) {
      ++seen_;
      if (failed_) return;
      try {
        check_->Sheet(ws, definition, &columns_read_);
      } catch (const std::exception&) {
        failed_ = true;
      }
    };
  }
  ~RideAlong() {
    engine_.sheet_observer = nullptr;
    engine_.columns_read = nullptr;
  }
  RideAlong(const RideAlong&) = delete;
  RideAlong& operator=(const RideAlong&) = delete;

  // The findings when every sheet was checked; null otherwise.
  const check::Report* report() const {
    if (!check_ || failed_ || seen_ != wb_.WorksheetCount()) return nullptr;
    return &check_->report();
  }

 private:
  host::Workbook& wb_;
  engines::EngineContext& engine_;
  std::optional<check::WorkbookCheck> check_;
  // What the script's blocks read from the sheet being written: the check takes it from there.
  engines::ColumnsRead columns_read_;
  int seen_ = 0;
  bool failed_ = false;
};

// After the script output: the place of each failure it showed, and how many errors the check
// finds. A run that ended well takes the findings made along it; after a failure the check reads
// the workbook again, as the script stopped part way.
void ReportAfterScript(CommandContext& ctx, host::Workbook& wb,
                       const check::CheckOptions& check_options, int status,
                       const check::Report* along) {
  if (!check::MissingProperty(wb).empty()) return;
  const check::Report report =
      status == kExitOk && along ? *along : check::CheckWorkbook(wb, check_options);
  // The failures the script showed, at their cells: those of error values, and the key position
  // it stopped at (the first, as it stops there).
  if (status != kExitOk) {
    for (const check::Finding& f : report.findings) {
      if (f.shown || f.stops) {
        ctx.err << "kastel: 場所: " << check::PlaceText(report.workbook, f) << '\n';
      }
      if (f.stops) break;
    }
  }
  if (report.sheets_read > 0 && report.Count(check::Severity::kError) > 0) {
    ctx.err << check::CountsText(report) << " (kastel check で確認できます)\n";
  }
}

int RunScript(CommandContext& ctx, const Args& args) {
  Session session(args.options, ctx.out, ctx.err, ctx.in);
  if (!session.ok()) return session.Status();
  host::Workbook* wb = session.OpenWorkbook(args.workbook, /*will_save=*/false);
  if (wb == nullptr) return session.Status();
  const bool utf8 = IsUtf8Encoding(args.encoding, *wb);
  check::CheckOptions check_options;
  check_options.cp932 = !utf8;
  // A workbook checked before writing needs no second check along the way: the script output
  // changes nothing in it.
  std::optional<check::Report> checked_first;
  if (args.check_first && check::MissingProperty(*wb).empty()) {
    checked_first = check::CheckWorkbook(*wb, check_options);
    if (checked_first->Count(check::Severity::kError) > 0) {
      check::WriteText(ctx.err, *checked_first);
      ctx.err << "kastel: " << check::CountsText(*checked_first)
              << "。エラーがあるため、スクリプトを書き出しません。\n";
      return kExitFailure;
    }
  }
  std::optional<RideAlong> along;
  if (addin::Connect* kastel = session.kastel()) {
    if (!args.encoding.empty()) {
      kastel->engine_context().encoding = utf8 ? TextEncoding::kUtf8 : TextEncoding::kCp932;
    }
    kastel->engine_context().crlf = args.crlf;
    if (!args.no_check && !checked_first && check::MissingProperty(*wb).empty()) {
      along.emplace(*wb, check_options, kastel->engine_context());
    }
  }
  const std::optional<std::string>& folder = args.options.output_folder;
  if (folder && args.mkdir && !MakeOutputFolder(ctx, *folder)) return kExitFailure;
  if (!session.Press({"スクリプト出力"})) return session.Status();
  std::error_code ec;
  if (folder && session.Status() == kExitFailure && !std::filesystem::is_directory(*folder, ec)) {
    ctx.err << "kastel: 出力先フォルダ '" << *folder << "' がありません"
            << (std::filesystem::exists(*folder, ec) ? " (フォルダではありません)。"
                                                     : "。作るには --mkdir を付けて下さい。")
            << '\n';
  }
  // --no-check is for who runs the check apart. A workbook the check cannot read either has had
  // its failure shown by the script already.
  if (!args.no_check) {
    try {
      ReportAfterScript(ctx, *wb, check_options, session.Status(),
                        checked_first ? &*checked_first
                        : along       ? along->report()
                                      : nullptr);
    } catch (const Error&) {
    }
  }
  return session.Status();
}

}  // namespace

void AddScriptCommand(CLI::App& app, CommandContext& ctx) {
  auto args = std::make_shared<Args>();
  CLI::App* cmd =
      NewCommand(app, "script",
                 "定義シートから table.sql, index.sql, comment.sql を書き出します "
                 "(SQL Server、Oracle または PostgreSQL、ブックの DB プロパティによる)");
  cmd->add_option("WORKBOOK", args->workbook, "テーブル定義書のブック (.xlsx/.xlsm)")
      ->required()
      ->type_name("ブック");
  cmd->add_option(
         "-o,--output", args->options.output_folder,
         "出力先フォルダ (省略時は環境変数 KASTEL_OUTPUT_FOLDER、それも無ければ端末で尋ねます。"
         "端末でなければ現在のフォルダ)")
      ->type_name("フォルダ");
  cmd->add_flag("--no-check", args->no_check,
                "書き出した後の確認 (エラーの件数の表示) をしません。大きなブックで速くなります");
  cmd->add_flag("--mkdir", args->mkdir, "-o のフォルダがなければ作ります");
  AddEncodingOption(*cmd, args->encoding);
  cmd->add_flag("--crlf", args->crlf,
                "PostgreSQL のスクリプトも行末を CR LF にします (既定は LF。他は常に CR LF)");
  cmd->add_flag("--check", args->check_first,
                "先に kastel check と同じ確認をし、エラーがあれば何も書き出さずに終わります");
  cmd->callback([&ctx, args] { ctx.status = RunScript(ctx, *args); });
}

}  // namespace kastel::cli
