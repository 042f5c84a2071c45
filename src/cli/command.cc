#include "cli/command.h"

#include "base/error.h"
#include "cli/exit_status.h"
#include "cli/help_format.h"
#include "model/defines.h"

namespace kastel::cli {

void UseJapaneseHelp(CLI::App& app) {
  auto formatter = std::make_shared<HelpFormatter>();
  formatter->label("Usage", "使い方");
  formatter->label("OPTIONS", "オプション");
  formatter->label("SUBCOMMAND", "コマンド");
  formatter->label("SUBCOMMANDS", "コマンド");
  formatter->label("Positionals", "引数");
  formatter->label("REQUIRED", "(必須)");
  formatter->label("TEXT", "文字列");
  formatter->label("Env", "環境変数");
  formatter->label("Needs", "要");
  formatter->label("Excludes", "併用不可");
  formatter->column_width(30);
  app.formatter(formatter);
  // The group first: the help flag takes the group in force when it is made.
  app.option_defaults()->group("オプション");
  app.set_help_flag("-h,--help", "この説明を表示して終了します");
}

CLI::App* NewCommand(CLI::App& app, const std::string& name, const std::string& description) {
  CLI::App* cmd = app.add_subcommand(name, description);
  cmd->group("コマンド");
  UseJapaneseHelp(*cmd);
  return cmd;
}

void AddSaveOptions(CLI::App& cmd, SessionOptions& options) {
  cmd.add_flag("--force", options.force,
               "ロックファイルがあっても (表計算ソフトで開かれていても) 保存します");
}

void AddTemplateOption(CLI::App& cmd, SessionOptions& options) {
  cmd.add_option("--template", options.template_path,
                 "新しいブックの元にするテンプレート (環境変数 KASTEL_TEMPLATE より優先)")
      ->type_name("ファイル");
}

void AddEncodingOption(CLI::App& cmd, std::string& encoding) {
  cmd.add_option(
         "--encoding", encoding,
         "スクリプトの文字コード: cp932 (sjis, shift_jis とも書けます。Shift_JIS に無い文字は"
         " ?) か utf-8 (utf8)。既定は SQL Server と Oracle が cp932、PostgreSQL が utf-8")
      ->check(CLI::IsMember({"cp932", "sjis", "shift_jis", "utf-8", "utf8"}, CLI::ignore_case))
      ->type_name("文字コード");
}

bool IsUtf8Encoding(const std::string& encoding, host::Workbook& wb) {
  if (encoding.empty()) {
    try {
      return model::Defines::GetDocProperty(wb, "DB") == "PGS";
    } catch (const Error&) {
      return false;
    }
  }
  std::string lower;
  for (char c : encoding) lower += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  return lower == "utf-8" || lower == "utf8";
}

int RunWorkbookButton(CommandContext& ctx, const SessionOptions& options,
                      const std::string& workbook, const std::vector<std::string>& captions,
                      const Summary& summary) {
  Session session(options, ctx.out, ctx.err, ctx.in);
  host::Workbook* wb = session.ok() ? session.OpenWorkbook(workbook, /*will_save=*/true) : nullptr;
  if (wb != nullptr && !session.Press(captions)) wb = nullptr;
  std::string done;
  if (wb != nullptr && summary && session.Status() == kExitOk) done = summary(*wb, session);
  session.SaveIfRanToEnd(wb, workbook, done);
  return session.Status();
}

}  // namespace kastel::cli
