// kastel register: registers KASTEL to be connected at every start of the application.
#include <filesystem>
#include <ostream>

#include "base/error.h"
#include "cli/addin_registry.h"
#include "cli/command.h"
#include "cli/exit_status.h"

namespace kastel::cli {

void AddRegisterCommand(CLI::App& app, CommandContext& ctx) {
  CLI::App* cmd =
      NewCommand(app, "register", "アドイン KASTEL を登録し、起動時に読み込まれるようにします");
  cmd->callback([&ctx] {
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
