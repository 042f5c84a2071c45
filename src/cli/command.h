// What the commands of kastel share: where they write, the status they leave, and how each one
// is added to the command line. Every command lives in its own file cmd_<name>.cc, defining
// Add<Name>Command; the list below is the one place that names them all.
#ifndef KASTEL_CLI_COMMAND_H_
#define KASTEL_CLI_COMMAND_H_

#include <CLI/CLI.hpp>
#include <functional>
#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

#include "cli/session.h"

// Adding a command: its file, one line here, one line in CMakeLists.txt.
#define KASTEL_CLI_COMMANDS(X) \
  X(New)                       \
  X(AddSheet)                  \
  X(Refresh)                   \
  X(Template)                  \
  X(Script)                    \
  X(Check)                     \
  X(Adopt)                     \
  X(Reverse)                   \
  X(Bar)                       \
  X(Register)                  \
  X(Unregister)

namespace kastel::cli {

struct CommandContext {
  std::ostream& out;
  std::ostream& err;
  std::istream& in;
  // The exit status of the command that ran.
  int status = 0;
};

#define KASTEL_CLI_DECLARE_COMMAND(Name) \
  void Add##Name##Command(CLI::App& app, CommandContext& ctx);
KASTEL_CLI_COMMANDS(KASTEL_CLI_DECLARE_COMMAND)
#undef KASTEL_CLI_DECLARE_COMMAND

// A subcommand with Japanese help.
CLI::App* NewCommand(CLI::App& app, const std::string& name, const std::string& description);
// Gives `app` Japanese help texts: labels, the help flag and the option group.
void UseJapaneseHelp(CLI::App& app);

// --force (for commands that save) and --template, stored in `options`.
void AddSaveOptions(CLI::App& cmd, SessionOptions& options);
void AddTemplateOption(CLI::App& cmd, SessionOptions& options);
// --encoding for the script files: cp932 (also sjis, shift_jis) or utf-8 (also utf8), any case.
void AddEncodingOption(CLI::App& cmd, std::string& encoding);
// True when the script files of `wb` are written in UTF-8: `encoding` as AddEncodingOption
// accepts it, or, when none was given, the dialect's own (UTF-8 for PostgreSQL, else CP932).
bool IsUtf8Encoding(const std::string& encoding, host::Workbook& wb);

// What a command did, in one line for standard output, read from the workbook after the press,
// or from what the session's add-in kept of it.
using Summary = std::function<std::string(host::Workbook&, Session&)>;

// Opens `workbook`, presses the button reached by `captions` and, when the command ran to its
// end, saves the workbook over itself; then prints `summary` when all went well. The exit status.
int RunWorkbookButton(CommandContext& ctx, const SessionOptions& options,
                      const std::string& workbook, const std::vector<std::string>& captions,
                      const Summary& summary = nullptr);

}  // namespace kastel::cli

#endif  // KASTEL_CLI_COMMAND_H_
