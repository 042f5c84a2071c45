// kastel refresh WORKBOOK: presses 「テーブル一覧更新」 on the workbook and saves it.
#include <memory>
#include <string>

#include "addin/connect.h"
#include "cli/command.h"
#include "model/defines.h"

namespace kastel::cli {

void AddRefreshCommand(CLI::App& app, CommandContext& ctx) {
  struct Args {
    std::string workbook;
    SessionOptions options;
  };
  auto args = std::make_shared<Args>();
  CLI::App* cmd = NewCommand(
      app, "refresh", "定義シートを1,2,3…と番号付けし直し、テーブル一覧を作り直して保存します");
  cmd->add_option("WORKBOOK", args->workbook, "テーブル定義書のブック (.xlsx/.xlsm)")
      ->required()
      ->type_name("ブック");
  AddSaveOptions(*cmd, args->options);
  cmd->callback([&ctx, args] {
    ctx.status = RunWorkbookButton(
        ctx, args->options, args->workbook, {"テーブル一覧更新"}, [](host::Workbook&, Session& s) {
          // Counted by the refresh as it went: counting again would read every sheet once more,
          // a third of the command's time on a large workbook.
          const int sheets = s.kastel() ? s.kastel()->defines().sheets_listed() : 0;
          return std::to_string(sheets) + " シートを番号順に並べ、一覧を更新しました";
        });
  });
}

}  // namespace kastel::cli
