// The SQL Server engine's connection against a real server: the PostgreSQL server of the test
// run stands in, reached through its ODBC driver named as the SQL Server driver (it reads the
// same Server, Database, UID and PWD keywords). A login role with a password of its own is
// checked with scram-sha-256 while every other role stays trusted.
#include <gtest/gtest.h>

#include <string>

#include "model/defines.h"
#include "odbc/odbc_provider.h"
#include "reverse_host.h"
#include "script_run.h"
#include "test_databases.h"

namespace kastel::testing {
namespace {

// Quotes, a semicolon and an equals sign: the password must reach the driver whole.
constexpr const char* kPassword = "ri;gh=t \"pw\"";

class ReversePostgresTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    SharedPostgres().RunSql("CREATE ROLE kastel_login LOGIN PASSWORD 'ri;gh=t \"pw\"';");
    SharedPostgres().RequirePassword("kastel_login");
  }
  static void TearDownTestSuite() { StopSharedPostgres(); }

  // Runs the import on a new SQL Server workbook through the real ODBC provider.
  void Import(const std::string& server, const std::string& password) {
    term::LoginAnswers answers;
    answers.server = server;
    answers.auth = "sql";
    answers.user = "kastel_login";
    answers.database = "postgres";
    host_ = std::make_unique<ImportHost>(Recording{}, answers);
    host_->SetPassword(password);
    host_->kastel().engine_context().provider = &provider_;
    wb_ = &host_->NewBook("SQL");
    host_->PressReverse();
  }

  std::string Stored() {
    std::string text;
    for (const char* name :
         {"DATA_SOURCE", "INTEGRATED_SECURITY", "USER_ID", "PASSWORD", "DATABASE", "SAVE_PWD"}) {
      text += model::Defines::GetDocProperty(*wb_, name) + ";";
    }
    return text;
  }

  odbc::OdbcProvider provider_{[](std::string_view name) -> std::optional<std::string> {
    if (name == "KASTEL_ODBC_SQLSERVER") return FindOdbcDriver("PostgreSQL Unicode");
    return std::nullopt;
  }};
  std::unique_ptr<ImportHost> host_;
  host::Workbook* wb_ = nullptr;
};

TEST_F(ReversePostgresTest, ConnectingSucceedsFailsOrCannotReachAsTheDriverSays) {
  const std::string socket = SharedPostgres().SocketFolder();
  const struct {
    std::string name, server, password;
    std::string message;  // part of the only failure shown
  } cases[] = {// Connected: the failure is the catalogue batch, which PostgreSQL cannot read.
               {"right password", socket, kPassword, "syntax error"},
               {"wrong password", socket, "wrong", "password authentication failed for user"},
               {"no server", socket + "/missing", kPassword, "No such file or directory"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Import(c.server, c.password);
    EXPECT_EQ(host_->failures(), 1) << host_->err();
    EXPECT_NE(host_->err().find(c.message), std::string::npos) << host_->err();
    EXPECT_EQ(host_->err().find("ri;gh"), std::string::npos);
    // Stored before connecting, and kept when connecting failed; the password is not saved.
    EXPECT_EQ(Stored(), c.server + ";False;kastel_login;;postgres;False;");
  }
}

TEST_F(ReversePostgresTest, KastelReverseSavesNothingAfterAFailureAndNeverShowsThePassword) {
  ScratchDir dir;
  const std::string book = dir / "book.xlsx";
  MakeFixture({"worked", book, "--dialect", "SQL"});
  const std::string before = ReadFile(book);
  const struct {
    std::string password, message, step;
  } cases[] = {
      {"wrong",
       "password authentication failed for user \"kastel_login\"\nヒント: ログインできません。",
       "接続"},
      {kPassword, "syntax error", "テーブルと列の問い合わせ"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.message);
    // Through the environment the child inherits: the password is in no argument list.
    ::setenv("KASTEL_ODBC_SQLSERVER", FindOdbcDriver("PostgreSQL Unicode").c_str(), 1);
    ::setenv("KASTEL_PASSWORD", c.password.c_str(), 1);
    RunResult r =
        Kastel({"reverse", book, "--server", SharedPostgres().SocketFolder(), "--auth", "sql",
                "--user", "kastel_login", "--database", "postgres", "--save-password"});
    ::unsetenv("KASTEL_PASSWORD");
    ::unsetenv("KASTEL_ODBC_SQLSERVER");
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("\nkastel: 場所: book.xlsx サーバー " + SharedPostgres().SocketFolder() +
                         " データベース postgres 手順: " + c.step + "\n"),
              std::string::npos)
        << r.err;
    EXPECT_EQ(r.err.find(c.password), std::string::npos) << r.err;
    EXPECT_EQ(ReadFile(book), before);
  }
}

}  // namespace
}  // namespace kastel::testing
