// kastel unregister [--calc]: removes KASTEL's registration; later runs no longer connect it.
// With --calc it removes the Calc extension of the current user.
#include <filesystem>
#include <memory>
#include <ostream>

#include "addin/connect.h"
#include "base/error.h"
#include "cli/addin_registry.h"
#include "cli/calc_extension.h"
#include "cli/command.h"
#include "cli/exit_status.h"

namespace kastel::cli {

void AddUnregisterCommand(CLI::App& app, CommandContext& ctx) {
  CLI::App* cmd = NewCommand(app, "unregister", "アドイン KASTEL の登録を解除します");
  auto calc = std::make_shared<bool>(false);
  cmd->add_flag("--calc", *calc,
                "LibreOffice Calc の拡張機能の登録を現在のユーザーから解除します (unopkg remove)");
  cmd->callback([&ctx, calc] {
    if (*calc) {
      ctx.status = RemoveCalcExtension(ctx.out, ctx.err);
      return;
    }
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
