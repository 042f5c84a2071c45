// kastel check WORKBOOK [--format text|json] [--oracle-long-names] [--encoding ...]: lists what
// the script output would write wrong, without writing anything. Exit status 0 when clean, 1
// when an error was found, 4 when only warnings were.
#include <unistd.h>

#include <cstdlib>
#include <memory>
#include <ostream>
#include <string>

#include "check/report.h"
#include "check/workbook_check.h"
#include "cli/command.h"
#include "cli/exit_status.h"

namespace kastel::cli {
namespace {

constexpr int kExitWarningsOnly = 4;

struct Args {
  std::string workbook;
  std::string format = "text";
  std::string encoding;  // "": the dialect's own
  bool oracle_long_names = false;
};

// Colour only for a person at a terminal, and not when NO_COLOR asks for none.
bool UseColour(int fd) {
  const char* no_colour = std::getenv("NO_COLOR");
  return ::isatty(fd) != 0 && (no_colour == nullptr || *no_colour == '\0');
}

int RunCheck(CommandContext& ctx, const Args& args) {
  Session session(SessionOptions{}, ctx.out, ctx.err, ctx.in);
  if (!session.ok()) return session.Status();
  host::Workbook* wb = session.OpenWorkbook(args.workbook, /*will_save=*/false);
  if (wb == nullptr) return session.Status();
  check::CheckOptions options;
  options.cp932 = !IsUtf8Encoding(args.encoding, *wb);
  options.oracle_long_names = args.oracle_long_names;
  const check::Report report = check::CheckWorkbook(*wb, options);
  if (args.format == "json") {
    check::WriteJson(ctx.out, report);
  } else {
    check::WriteText(ctx.out, report, UseColour(STDOUT_FILENO));
  }
  if (report.findings.empty()) {
    ctx.err << "問題は見つかりませんでした (定義シート " << report.sheets_read << " 枚)。\n";
    return kExitOk;
  }
  ctx.err << check::CountsText(report) << "。\n";
  return report.Count(check::Severity::kError) > 0 ? kExitFailure : kExitWarningsOnly;
}

}  // namespace

void AddCheckCommand(CLI::App& app, CommandContext& ctx) {
  auto args = std::make_shared<Args>();
  CLI::App* cmd = NewCommand(app, "check",
                             "スクリプト出力が読む定義シートを確かめ、誤りをセルごとに示します "
                             "(何も書き込みません)");
  cmd->add_option("WORKBOOK", args->workbook, "テーブル定義書のブック (.xlsx/.xlsm)")
      ->required()
      ->type_name("ブック");
  cmd->add_option("--format", args->format, "出力の形式: text (既定) か json")
      ->check(CLI::IsMember({"text", "json"}))
      ->type_name("形式");
  cmd->add_flag("--oracle-long-names", args->oracle_long_names,
                "Oracle の名前の上限を 128 バイトとします (12.2 以降。既定は 30 バイト)");
  AddEncodingOption(*cmd, args->encoding);
  cmd->callback([&ctx, args] { ctx.status = RunCheck(ctx, *args); });
}

}  // namespace kastel::cli
