// kastel template WORKBOOK: presses 「テンプレート表示切替」 on the workbook and saves it.
#include <memory>
#include <string>

#include "cli/command.h"

namespace kastel::cli {

void AddTemplateCommand(CLI::App& app, CommandContext& ctx) {
  struct Args {
    std::string workbook;
    SessionOptions options;
  };
  auto args = std::make_shared<Args>();
  CLI::App* cmd =
      NewCommand(app, "template", "テンプレートシートの表示と非表示を切り替えて保存します");
  cmd->add_option("WORKBOOK", args->workbook, "テーブル定義書のブック (.xlsx/.xlsm)")
      ->required()
      ->type_name("ブック");
  AddSaveOptions(*cmd, args->options);
  cmd->callback([&ctx, args] {
    ctx.status = RunWorkbookButton(ctx, args->options, args->workbook, {"テンプレート表示切替"});
  });
}

}  // namespace kastel::cli
