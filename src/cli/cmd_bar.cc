// kastel bar [WORKBOOK]: the command bar as a tree, each control with its state, as it stands
// for the workbook (or with no workbook open).
#include <memory>
#include <ostream>
#include <string>

#include "cli/command.h"
#include "cli/exit_status.h"

namespace kastel::cli {
namespace {

void PrintControls(std::ostream& out, host::CommandBarControls& controls, int depth) {
  for (int i = 1; i <= controls.Count(); ++i) {
    std::shared_ptr<host::CommandBarControl> control = controls.Item(i);
    out << std::string(static_cast<std::size_t>(depth) * 2, ' ') << control->Caption() << ' '
        << (control->Enabled() ? "有効" : "無効") << '\n';
    if (control->Type() == host::ControlType::kPopup) {
      PrintControls(out, control->Controls(), depth + 1);
    }
  }
}

int RunBar(CommandContext& ctx, const std::string& workbook) {
  Session session(SessionOptions{}, ctx.out, ctx.err, ctx.in);
  if (!session.ok()) return session.Status();
  if (!workbook.empty() && session.OpenWorkbook(workbook, /*will_save=*/false) == nullptr) {
    return session.Status();
  }
  bool shown = false;
  for (const auto& bar : session.app().AllBars()) {
    ctx.out << bar->Name() << '\n';
    PrintControls(ctx.out, bar->Controls(), 1);
    shown = true;
  }
  if (!shown)
    ctx.err << "kastel: コマンドバーがありません。アドインを登録して下さい (kastel register)。\n";
  return shown ? session.Status() : kExitUsage;
}

}  // namespace

void AddBarCommand(CLI::App& app, CommandContext& ctx) {
  auto workbook = std::make_shared<std::string>();
  CLI::App* cmd = NewCommand(app, "bar", "コマンドバーとボタンの有効・無効を表示します");
  cmd->add_option("WORKBOOK", *workbook, "開いておくブック (省略するとブックなし)")
      ->type_name("ブック");
  cmd->callback([&ctx, workbook] { ctx.status = RunBar(ctx, *workbook); });
}

}  // namespace kastel::cli
