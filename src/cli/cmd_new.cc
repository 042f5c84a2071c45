// kastel new PATH [--sql|--oracle|--postgres] (or the older kastel new --sql|--oracle|--postgres
// PATH): presses 新規作成 > SQL Server or Oracle and saves the new workbook to PATH; SQL Server
// when none is given. A PostgreSQL workbook has no button of its own: it is the SQL Server one
// with "DB" set to "PGS" and the type list pointed at PostgreSQL's.
#include <filesystem>
#include <memory>
#include <string>

#include "base/error.h"
#include "cli/command.h"
#include "cli/exit_status.h"
#include "model/defines.h"

namespace kastel::cli {
namespace {

// The file written is an Office Open XML workbook, which its extension must say: a spreadsheet
// application goes by the extension, and refuses a file whose content does not match it.
bool WritableExtension(const std::string& path) {
  std::string ext = std::filesystem::path(path).extension().string();
  for (char& c : ext) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return ext == ".xlsx" || ext == ".xlsm" || ext == ".xltx" || ext == ".xltm";
}

enum class Dialect { kSql, kOracle, kPostgres };

struct Args {
  std::string path;
  std::string sql_path;
  std::string oracle_path;
  std::string postgres_path;
  Dialect dialect = Dialect::kSql;
  SessionOptions options;
};

constexpr char kUsage[] = "使い方: kastel new PATH [--sql|--oracle|--postgres]\n";

int RunNew(CommandContext& ctx, const Args& args) {
  const std::string given = !args.sql_path.empty()      ? args.sql_path
                            : !args.oracle_path.empty() ? args.oracle_path
                                                        : args.postgres_path;
  if (!given.empty() && !args.path.empty()) {
    ctx.err << "kastel: PATH が二つあります ('" << given << "' と '" << args.path << "')。\n"
            << kUsage;
    return kExitUsage;
  }
  const std::string& path = given.empty() ? args.path : given;
  if (path.empty()) {
    ctx.err << "kastel: 新しいブックの PATH を指定して下さい。\n" << kUsage;
    return kExitUsage;
  }
  if (!WritableExtension(path)) {
    ctx.err << "kastel: '" << path
            << "' には保存できません: 新しいブックは .xlsx 形式で書くため、拡張子を .xlsx "
               "(マクロ付きなら .xlsm) にして下さい。\n";
    return kExitUsage;
  }
  const bool oracle = args.dialect == Dialect::kOracle;
  const bool postgres = args.dialect == Dialect::kPostgres;
  Session session(args.options, ctx.out, ctx.err, ctx.in);
  host::Workbook* wb = nullptr;
  if (session.ok() && session.CheckNewFile(path) &&
      session.Press({"新規作成", oracle ? "Oracle" : "SQL Server"})) {
    wb = session.app().ActiveWorkbook();
  }
  if (wb != nullptr && postgres && session.Status() == kExitOk) {
    try {
      model::Defines::SetDocProperty(*wb, "DB", "PGS");
      model::Defines::SetDataTypeList(*wb);
    } catch (const Error& e) {
      ctx.err << "kastel: " << e.description() << "\n";
      session.SaveIfRanToEnd(nullptr, path);
      return kExitFailure;
    }
  }
  const std::string done = std::string("新しいテーブル定義書 (") +
                           (oracle     ? "Oracle"
                            : postgres ? "PostgreSQL"
                                       : "SQL Server") +
                           ") を作りました: " + path;
  session.SaveIfRanToEnd(wb, path, session.Status() == kExitOk ? done : "");
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
  CLI::Option* pgs =
      cmd->add_option("--postgres", args->postgres_path, "PostgreSQL 用のブックを作ります")
          ->expected(0, 1)
          ->type_name("[PATH]");
  sql->excludes(ora)->excludes(pgs);
  ora->excludes(sql)->excludes(pgs);
  pgs->excludes(sql)->excludes(ora);
  cmd->add_flag("--force", args->options.force,
                "PATH が既にあっても (表計算ソフトで開かれていても) 上書きします");
  AddTemplateOption(*cmd, args->options);
  cmd->callback([&ctx, args, ora, pgs] {
    args->dialect = ora->count() > 0   ? Dialect::kOracle
                    : pgs->count() > 0 ? Dialect::kPostgres
                                       : Dialect::kSql;
    ctx.status = RunNew(ctx, *args);
  });
}

}  // namespace kastel::cli
