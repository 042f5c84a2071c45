// kastel register [--calc]: registers KASTEL to be connected at every start of the application,
// or with --calc installs the Calc extension for the current user.
#include <filesystem>
#include <memory>
#include <ostream>

#include "base/error.h"
#include "cli/addin_registry.h"
#include "cli/calc_extension.h"
#include "cli/command.h"
#include "cli/exit_status.h"
#include "term/term_shell.h"

namespace kastel::cli {

void AddRegisterCommand(CLI::App& app, CommandContext& ctx) {
  CLI::App* cmd =
      NewCommand(app, "register", "アドイン KASTEL を登録し、起動時に読み込まれるようにします");
  auto calc = std::make_shared<bool>(false);
  cmd->add_flag(
      "--calc", *calc,
      "LibreOffice Calc の拡張機能 (kastel.oxt) を現在のユーザーに登録します (unopkg add)");
  cmd->callback([&ctx, calc] {
    if (*calc) {
      const term::TermShell shell(ctx.out, ctx.err, ctx.in, false);
      ctx.status = AddCalcExtension(shell.ProgramDataFolder() + "/kastel.oxt", ctx.out, ctx.err);
      return;
    }
    AddInRegistry registry(AddInRegistry::DefaultFile());
    try {
      registry.Register(KastelEntry());
      ctx.out << "アドイン KASTEL を登録しました (" << registry.file().string() << ")。\n";
      ctx.status = kExitOk;
    } catch (const Error& e) {
      ctx.err << "kastel: " << e.description() << '\n';
      ctx.status = kExitFailure;
    }
  });
}

}  // namespace kastel::cli
