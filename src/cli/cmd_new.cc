// kastel new PATH [--sql|--oracle] (or the older kastel new --sql|--oracle PATH): presses
// 新規作成 > SQL Server or Oracle and saves the new workbook to PATH. SQL Server when neither is
// given.
#include <memory>
#include <string>

#include "cli/command.h"
#include "cli/exit_status.h"
#include "cli/lock_file.h"

namespace kastel::cli {
namespace {

struct Args {
  std::string path;
  std::string sql_path;
  std::string oracle_path;
  bool oracle = false;
  SessionOptions options;
};

int RunNew(CommandContext& ctx, const Args& args) {
  const std::string given = !args.sql_path.empty() ? args.sql_path : args.oracle_path;
  if (!given.empty() && !args.path.empty()) {
    ctx.err << "kastel: PATH が二つあります ('" << given << "' と '" << args.path
            << "')。\n使い方: kastel new PATH [--sql|--oracle]\n";
    return kExitUsage;
  }
  const std::string& path = given.empty() ? args.path : given;
  if (path.empty()) {
    ctx.err << "kastel: 新しいブックの PATH を指定して下さい。\n使い方: kastel new PATH "
               "[--sql|--oracle]\n";
    return kExitUsage;
  }
  const bool oracle = args.oracle;
  Session session(args.options, ctx.out, ctx.err, ctx.in);
  if (!session.ok() || !session.CheckNewFile(path)) return session.Status();
  if (!args.options.force) {
    if (auto lock = FindLockFile(path)) {
      ctx.err << "kastel: '" << path << "' は表計算ソフトで開かれています (ロックファイル '"
              << lock->filename().string()
              << "')。閉じてから実行するか、--force を指定して下さい。\n";
      return kExitUsage;
    }
  }
  if (!session.Press({"新規作成", oracle ? "Oracle" : "SQL Server"})) return session.Status();
  host::Workbook* wb = session.app().ActiveWorkbook();
  if (wb != nullptr && session.Status() == kExitOk) session.SaveUnlessFailed(*wb, path);
  if (session.Status() == kExitOk) {
    ctx.out << "新しいテーブル定義書 (" << (oracle ? "Oracle" : "SQL Server")
            << ") を作りました: " << path << '\n';
  }
  return session.Status();
}

}  // namespace

void AddNewCommand(CLI::App& app, CommandContext& ctx) {
  auto args = std::make_shared<Args>();
  CLI::App* cmd =
      NewCommand(app, "new", "テンプレートから新しいテーブル定義書を作り、PATH に保存します");
  cmd->add_option("PATH", args->path, "新しいブックのファイル (.xlsx)")->type_name("ファイル");
  // Each also takes the path itself, as the first form of the command did.
  CLI::Option* sql =
      cmd->add_option("--sql", args->sql_path, "SQL Server 用のブックを作ります (既定)")
          ->expected(0, 1)
          ->type_name("[PATH]");
  CLI::Option* ora = cmd->add_option("--oracle", args->oracle_path, "Oracle 用のブックを作ります")
                         ->expected(0, 1)
                         ->type_name("[PATH]");
  sql->excludes(ora);
  ora->excludes(sql);
  cmd->add_flag("--force", args->options.force,
                "PATH が既にあっても (表計算ソフトで開かれていても) 上書きします");
  AddTemplateOption(*cmd, args->options);
  cmd->callback([&ctx, args, ora] {
    args->oracle = ora->count() > 0;
    ctx.status = RunNew(ctx, *args);
  });
}

}  // namespace kastel::cli
