// kastel: the headless spreadsheet application in person. Each command connects the add-in,
// opens the workbook, presses the add-in's button and saves when the command ran to its end.
#include <CLI/CLI.hpp>
#include <exception>
#include <iostream>
#include <new>

#include "base/error.h"
#include "base/signal_cleanup.h"
#include "cli/command.h"
#include "cli/exit_status.h"

namespace {

// The kind of a command-line mistake in words; the parser's own detail follows it.
const char* ParseErrorText(const CLI::ParseError& e) {
  if (dynamic_cast<const CLI::RequiredError*>(&e) != nullptr) return "必要な引数がありません";
  if (dynamic_cast<const CLI::ExtrasError*>(&e) != nullptr) return "余分な引数があります";
  if (dynamic_cast<const CLI::ExcludesError*>(&e) != nullptr) {
    return "同時には指定できないオプションです";
  }
  if (dynamic_cast<const CLI::ValidationError*>(&e) != nullptr) return "値が正しくありません";
  if (dynamic_cast<const CLI::ArgumentMismatch*>(&e) != nullptr) {
    return "オプションの値が足りません";
  }
  return "引数が正しくありません";
}

}  // namespace

int main(int argc, char** argv) {
  using namespace kastel::cli;
  kastel::signal_cleanup::InstallHandlers();
  CLI::App app("KASTEL: テーブル定義書 (Excel ブック) の作成と保守", "kastel");
  UseJapaneseHelp(app);
  app.require_subcommand(1);
  CommandContext ctx{std::cout, std::cerr, std::cin};
#define KASTEL_CLI_ADD_COMMAND(Name) Add##Name##Command(app, ctx);
  KASTEL_CLI_COMMANDS(KASTEL_CLI_ADD_COMMAND)
#undef KASTEL_CLI_ADD_COMMAND
  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp&) {
    // The help of the command named last, or of the program.
    const CLI::App* shown = &app;
    for (const CLI::App* sub : app.get_subcommands()) shown = sub;
    std::cout << shown->help();
    return kExitOk;
  } catch (const CLI::ParseError& e) {
    std::cerr << "kastel: " << ParseErrorText(e) << " (" << e.what()
              << ")\n使い方は kastel --help で確かめて下さい。\n";
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
