// kastel unregister: removes KASTEL's registration; later runs no longer connect it.
#include <filesystem>
#include <ostream>

#include "addin/connect.h"
#include "base/error.h"
#include "cli/addin_registry.h"
#include "cli/command.h"
#include "cli/exit_status.h"

namespace kastel::cli {

void AddUnregisterCommand(CLI::App& app, CommandContext& ctx) {
  CLI::App* cmd = NewCommand(app, "unregister", "アドイン KASTEL の登録を解除します");
  cmd->callback([&ctx] {
    AddInRegistry registry(AddInRegistry::DefaultFile());
    try {
      if (registry.Unregister(addin::kProgId)) {
        ctx.out << "アドイン KASTEL の登録を解除しました。\n";
      } else {
        ctx.out << "アドイン KASTEL は登録されていません。\n";
      }
      ctx.status = kExitOk;
    } catch (const Error& e) {
      ctx.err << "kastel: " << e.description() << '\n';
      ctx.status = kExitFailure;
    }
  });
}

}  // namespace kastel::cli
