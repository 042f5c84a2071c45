// kastel template WORKBOOK [--show|--hide]: presses 「テンプレート表示切替」 on the workbook and
// saves it. With --show or --hide the button is pressed only when the template sheet is not
// already so, which makes the command safe to repeat.
#include <memory>
#include <ostream>
#include <string>

#include "base/error.h"
#include "cli/command.h"
#include "cli/exit_status.h"
#include "model/defines.h"

namespace kastel::cli {
namespace {

struct Args {
  std::string workbook;
  bool show = false;
  bool hide = false;
  SessionOptions options;
};

bool TemplateShown(host::Workbook& wb) {
  return wb.Worksheets(model::kTemplateSheet).Visible() != host::Visibility::kHidden;
}

std::string Said(bool shown) {
  return shown ? "テンプレートシートを表示しました" : "テンプレートシートを非表示にしました";
}

int RunTemplate(CommandContext& ctx, const Args& args) {
  if (args.show || args.hide) {
    Session session(args.options, ctx.out, ctx.err, ctx.in);
    if (!session.ok()) return session.Status();
    host::Workbook* wb = session.OpenWorkbook(args.workbook, /*will_save=*/false);
    if (wb == nullptr) return session.Status();
    try {
      if (TemplateShown(*wb) == args.show) {
        ctx.out << (args.show ? "テンプレートシートは既に表示されています"
                              : "テンプレートシートは既に非表示です")
                << std::endl;
        session.SaveIfRanToEnd(nullptr, args.workbook);
        return kExitOk;
      }
    } catch (const Error&) {
      // No template sheet: the button reports that itself.
    }
  }
  return RunWorkbookButton(ctx, args.options, args.workbook, {"テンプレート表示切替"},
                           [](host::Workbook& wb, Session&) { return Said(TemplateShown(wb)); });
}

}  // namespace

void AddTemplateCommand(CLI::App& app, CommandContext& ctx) {
  auto args = std::make_shared<Args>();
  CLI::App* cmd =
      NewCommand(app, "template", "テンプレートシートの表示と非表示を切り替えて保存します");
  cmd->add_option("WORKBOOK", args->workbook, "テーブル定義書のブック (.xlsx/.xlsm)")
      ->required()
      ->type_name("ブック");
  CLI::Option* show =
      cmd->add_flag("--show", args->show, "表示します (既に表示されていれば何もしません)");
  CLI::Option* hide =
      cmd->add_flag("--hide", args->hide, "非表示にします (既に非表示なら何もしません)");
  show->excludes(hide);
  hide->excludes(show);
  AddSaveOptions(*cmd, args->options);
  cmd->callback([&ctx, args] { ctx.status = RunTemplate(ctx, *args); });
}

}  // namespace kastel::cli
