// kastel: the headless spreadsheet application in person. Each command connects the add-in,
// opens the workbook, presses the add-in's button and saves when the command ran to its end.
#include <CLI/CLI.hpp>
#include <algorithm>
#include <exception>
#include <iostream>
#include <new>
#include <string>
#include <string_view>

#include "base/error.h"
#include "base/signal_cleanup.h"
#include "cli/command.h"
#include "cli/exit_status.h"
#include "cli/help_format.h"
#include "cli/suggest.h"

namespace {

// The kind of a command-line mistake in words; the parser's own detail follows it.
const char* ParseErrorText(const CLI::ParseError& e) {
  if (dynamic_cast<const CLI::RequiredError*>(&e) != nullptr) return "必要な引数がありません";
  if (dynamic_cast<const CLI::ExtrasError*>(&e) != nullptr) return "不明な引数があります";
  if (dynamic_cast<const CLI::ExcludesError*>(&e) != nullptr) {
    return "同時には指定できないオプションです";
  }
  if (dynamic_cast<const CLI::ValidationError*>(&e) != nullptr) return "値が正しくありません";
  if (dynamic_cast<const CLI::ArgumentMismatch*>(&e) != nullptr) {
    return "オプションの値が足りません";
  }
  return "引数が正しくありません";
}

std::string VersionText() {
  return std::string("kastel ") + KASTEL_VERSION + " (" + KASTEL_BUILD_TYPE + ")\n" + "libzip " +
         KASTEL_LIBZIP_VERSION + ", pugixml " + KASTEL_PUGIXML_VERSION + ", fmt " +
         KASTEL_FMT_VERSION + ", CLI11 " + CLI11_VERSION + ", unixODBC " + KASTEL_ODBC_VERSION;
}

// Exit statuses and environment variables, lined up by display width.
std::string Footer() {
  using kastel::cli::HelpRow;
  const std::size_t width = kastel::cli::TerminalWidth();
  std::string text = "終了ステータス:\n";
  const std::pair<const char*, const char*> statuses[] = {
      {"0", "最後まで実行しました"},
      {"4", "最後まで実行し、途中の失敗を表示しました (保存はしています)"},
      {"1", "失敗で止まりました (何も保存していません)"},
      {"2", "使い方の誤り、または開けないブック"},
      {"3", "ダイアログで取り消しました"},
      {"check", "0 問題なし、1 エラーあり、4 警告のみ"},
  };
  for (const auto& [code, meaning] : statuses) text += HelpRow(code, meaning, 10, width);
  text += "\n環境変数:\n";
  const std::pair<const char*, const char*> variables[] = {
      {"KASTEL_TEMPLATE", "new が使うテンプレートのファイル"},
      {"KASTEL_ODBC_SQLSERVER", "SQL Server に使う ODBC ドライバ名 (既定 FreeTDS)"},
      {"KASTEL_ODBC_ORACLE", "Oracle に使う ODBC ドライバ名"},
      {"KASTEL_PASSWORD", "データベースのパスワード (コマンドラインには書きません)"},
      {"XDG_CONFIG_HOME", "アドインの登録ファイルの置き場所 (kastel/)"},
      {"NO_COLOR", "設定されていれば色を付けません"},
  };
  for (const auto& [name, meaning] : variables) text += HelpRow(name, meaning, 26, width);
  return text;
}

// Says so when the first word is no command, suggesting the nearest; false then.
bool KnownCommand(const CLI::App& app, int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view word = argv[i];
    if (word.starts_with('-')) continue;
    std::vector<std::string> names;
    for (const CLI::App* sub : app.get_subcommands({})) names.push_back(sub->get_name());
    for (const std::string& name : names) {
      if (name == word) return true;
    }
    std::cerr << "kastel: '" << word << "' はコマンドではありません。\n";
    if (const std::string near = kastel::cli::Nearest(word, names); !near.empty()) {
      std::cerr << "もしかして: " << near << '\n';
    }
    std::cerr << "コマンドの一覧は kastel --help で確かめて下さい。\n";
    return false;
  }
  return true;
}

// For each option the command does not know, the nearest one it does.
void SuggestOption(const CLI::App& command, int argc, char** argv) {
  std::vector<std::string> names;
  for (const CLI::Option* opt : command.get_options()) {
    for (const std::string& name : opt->get_lnames()) names.push_back("--" + name);
  }
  for (int i = 1; i < argc; ++i) {
    std::string word = argv[i];
    if (!word.starts_with("--")) continue;
    word = word.substr(0, word.find('='));
    if (std::find(names.begin(), names.end(), word) != names.end()) continue;
    if (const std::string near = kastel::cli::Nearest(word, names); !near.empty()) {
      std::cerr << "もしかして: " << near << '\n';
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  using namespace kastel::cli;
  kastel::signal_cleanup::InstallHandlers();
  CLI::App app("KASTEL: テーブル定義書 (Excel ブック) の作成と保守", "kastel");
  UseJapaneseHelp(app);
  app.set_version_flag("--version", VersionText(), "バージョンと使っているライブラリを表示します");
  app.require_subcommand(1);
  CommandContext ctx{std::cout, std::cerr, std::cin};
#define KASTEL_CLI_ADD_COMMAND(Name) Add##Name##Command(app, ctx);
  KASTEL_CLI_COMMANDS(KASTEL_CLI_ADD_COMMAND)
#undef KASTEL_CLI_ADD_COMMAND
  // After the commands, which would otherwise inherit it.
  app.footer(Footer());
  if (!KnownCommand(app, argc, argv)) return kExitUsage;
  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp&) {
    // The help of the command named last, or of the program.
    const CLI::App* shown = &app;
    for (const CLI::App* sub : app.get_subcommands()) shown = sub;
    std::cout << shown->help();
    return kExitOk;
  } catch (const CLI::CallForVersion&) {
    std::cout << VersionText() << '\n';
    return kExitOk;
  } catch (const CLI::ParseError& e) {
    const CLI::App* shown = &app;
    for (const CLI::App* sub : app.get_subcommands()) shown = sub;
    const std::string command = shown == &app ? "" : " " + shown->get_name();
    std::cerr << "kastel: " << ParseErrorText(e) << " (" << e.what() << ")\n";
    if (dynamic_cast<const CLI::ExtrasError*>(&e) != nullptr) SuggestOption(*shown, argc, argv);
    std::cerr << "使い方は kastel" << command << " --help で確かめて下さい。\n";
    return kExitUsage;
  } catch (const kastel::Error& e) {
    std::cerr << "kastel: " << e.description() << '\n';
    return kExitFailure;
  } catch (const std::bad_alloc&) {
    // Nothing was saved: a save happens only after the command ran to its end.
    std::cerr << "kastel: " << kastel::RuntimeDescription(kastel::RuntimeError::kOutOfMemory)
              << '\n';
    return kExitFailure;
  } catch (const std::exception& e) {
    std::cerr << "kastel: 予期しないエラーです: " << e.what() << '\n';
    return kExitFailure;
  }
  return ctx.status;
}
