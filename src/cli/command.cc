#include "cli/command.h"

namespace kastel::cli {

void UseJapaneseHelp(CLI::App& app) {
  auto formatter = std::make_shared<CLI::Formatter>();
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
  formatter->column_width(34);
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

int RunWorkbookButton(CommandContext& ctx, const SessionOptions& options,
                      const std::string& workbook, const std::vector<std::string>& captions) {
  Session session(options, ctx.out, ctx.err, ctx.in);
  host::Workbook* wb = session.ok() ? session.OpenWorkbook(workbook, /*will_save=*/true) : nullptr;
  if (wb != nullptr && !session.Press(captions)) wb = nullptr;
  session.SaveIfRanToEnd(wb, workbook);
  return session.Status();
}

}  // namespace kastel::cli
