// kastel reverse WORKBOOK [connection options]: presses 「リバースエンジニア」, which asks for the
// connection in the login dialog (on the terminal, or answered from the options), writes the
// catalogue into definition sheets and saves the workbook when the import ran to its end. The
// password comes from standard input or KASTEL_PASSWORD, never from the command line.
#include <unistd.h>

#include <memory>
#include <optional>
#include <string>

#include "base/error.h"
#include "cli/command.h"
#include "cli/exit_status.h"
#include "login/login_text.h"
#include "odbc/odbc_provider.h"
#include "term/login_view.h"

namespace kastel::cli {

void AddReverseCommand(CLI::App& app, CommandContext& ctx) {
  struct Args {
    std::string workbook;
    term::LoginAnswers answers;
    bool save_password = false;
    bool no_save_password = false;
    SessionOptions options;
  };
  auto args = std::make_shared<Args>();
  CLI::App* cmd =
      NewCommand(app, "reverse",
                 "データベースのテーブル定義を読み込んで定義シートに書き込み、保存します "
                 "(SQL Server、Oracle または PostgreSQL、ブックの DB プロパティによる)");
  cmd->add_option("WORKBOOK", args->workbook, "テーブル定義書のブック (.xlsx/.xlsm)")
      ->required()
      ->type_name("ブック");
  // Each of these four goes before the matching part of KASTEL_LOGIN="server;auth;user;database".
  cmd->add_option("--server", args->answers.server,
                  "サーバー名 (SQL Server)、ホスト名またはホスト名,ポート (PostgreSQL)")
      ->type_name("名前");
  cmd->add_option("--auth", args->answers.auth, "認証: windows か sql (SQL Server)")
      ->check(CLI::IsMember({"windows", "sql"}))
      ->type_name("認証");
  cmd->add_option("--user", args->answers.user, "ログイン名 / ユーザー名")->type_name("名前");
  cmd->add_option("--database", args->answers.database,
                  "データベース名 (SQL Server、PostgreSQL) / 接続文字列 (Oracle)")
      ->type_name("名前");
  cmd->add_option("--schema", args->answers.schema, "読み込むスキーマ (PostgreSQL、既定 public)")
      ->type_name("名前");
  CLI::Option* save = cmd->add_flag(
      "--save-password", args->save_password,
      "パスワードをブックに保存します。ブックの文書プロパティに平文のまま書かれ、ブックを開ける人"
      "なら誰でも読めます");
  CLI::Option* no_save =
      cmd->add_flag("--no-save-password", args->no_save_password,
                    "パスワードを保存しません (ブックに前回の指定が残っていても外します)");
  save->excludes(no_save);
  no_save->excludes(save);
  cmd->add_flag("--password-stdin", args->answers.password_stdin,
                "パスワードを標準入力の1行目から読みます (省略時は環境変数 KASTEL_PASSWORD)");
  AddSaveOptions(*cmd, args->options);
  cmd->footer(
      "サーバーへのつなぎ方:\n"
      "  SQL Server  --server に host、host,port (例: db1,1433)、host\\instance (例: "
      "db1\\SQLEXPRESS)、\n"
      "              この機械なら (local) を指定します。ODBC ドライバは環境変数\n"
      "              KASTEL_ODBC_SQLSERVER の名前 (既定 FreeTDS)。FreeTDS では TDS のバージョンを\n"
      "              /etc/freetds/freetds.conf の tds version (SQL Server 2012 以降は 7.4) で\n"
      "              合わせます。\n"
      "  Oracle      --database に //host:port/service (例: //db1:1521/ORCLPDB1) か\n"
      "              tnsnames.ora の名前を指定します。ODBC ドライバは KASTEL_ODBC_ORACLE の\n"
      "              名前 (例: Oracle 19 ODBC driver)。日本語には "
      "NLS_LANG=JAPANESE_JAPAN.AL32UTF8\n"
      "              が要ります。\n"
      "  パスワード  --password-stdin で標準入力の1行目から、なければ環境変数 KASTEL_PASSWORD\n"
      "              から読みます。コマンドラインには書けません。\n"
      "  ドライバの一覧は odbcinst -q -d で確かめられます。\n");
  cmd->callback([&ctx, args] {
    if (args->save_password) args->answers.save_password = true;
    if (args->no_save_password) args->answers.save_password = false;
    Session session(args->options, ctx.out, ctx.err, ctx.in);
    host::Workbook* wb =
        session.ok() ? session.OpenWorkbook(args->workbook, /*will_save=*/true) : nullptr;
    if (wb == nullptr) {
      session.SaveIfRanToEnd(nullptr, args->workbook);
      ctx.status = session.Status();
      return;
    }
    // KASTEL_LOGIN answers what the options left open.
    if (auto text = session.shell().GetEnv("KASTEL_LOGIN"); text && !text->empty()) {
      try {
        const login::LoginAnswers given = login::ParseLoginAnswers(*text);
        term::LoginAnswers& answers = args->answers;
        if (!answers.server) answers.server = given.server;
        if (!answers.auth) answers.auth = given.auth;
        if (!answers.user) answers.user = given.user;
        if (!answers.database) answers.database = given.database;
      } catch (const Error& e) {
        ctx.err << "kastel: " << e.description() << '\n';
        ctx.status = kExitUsage;
        return;
      }
    }
    odbc::OdbcProvider provider;
    const bool interactive = session.shell().interactive();
    term::TermLoginView view(ctx.err, ctx.in, interactive, args->answers, session.shell(),
                             STDIN_FILENO);
    if (addin::Connect* kastel = session.kastel()) {
      engines::EngineContext& engines = kastel->engine_context();
      engines.provider = &provider;
      engines.login_view = &view;
      engines.status_counts = true;
    }
    const bool pressed = session.Press({"リバースエンジニア"});
    if (addin::Connect* kastel = session.kastel()) {
      // The engine has gone with the command; nothing may point at what ends here.
      kastel->engine_context().provider = nullptr;
      kastel->engine_context().login_view = nullptr;
    }
    if (view.cancelled()) session.shell().NoteCancelled();
    const int tables = session.kastel() ? session.kastel()->defines().tables_imported() : 0;
    session.SaveIfRanToEnd(pressed ? wb : nullptr, args->workbook,
                           std::to_string(tables) + " テーブルを取り込みました");
    ctx.status = session.Status();
  });
}

}  // namespace kastel::cli
