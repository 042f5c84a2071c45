// kastel add-sheet WORKBOOK: presses 「シート追加」 on the workbook and saves it.
#include <memory>
#include <string>

#include "cli/command.h"

namespace kastel::cli {

void AddAddSheetCommand(CLI::App& app, CommandContext& ctx) {
  struct Args {
    std::string workbook;
    SessionOptions options;
  };
  auto args = std::make_shared<Args>();
  CLI::App* cmd =
      NewCommand(app, "add-sheet",
                 "テンプレートシートの写しを一枚、テンプレートシートの直前に追加して保存します");
  cmd->add_option("WORKBOOK", args->workbook, "テーブル定義書のブック (.xlsx/.xlsm)")
      ->required()
      ->type_name("ブック");
  AddSaveOptions(*cmd, args->options);
  cmd->callback([&ctx, args] {
    ctx.status = RunWorkbookButton(
        ctx, args->options, args->workbook, {"シート追加"}, [](host::Workbook& wb, Session&) {
          return "シート「" + wb.ActiveSheet().Name() + "」を追加しました";
        });
  });
}

}  // namespace kastel::cli
