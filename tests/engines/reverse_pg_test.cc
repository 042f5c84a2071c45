// The SQL Server engine's connection against a real server: the PostgreSQL server of the test
// run stands in, reached through its ODBC driver named as the SQL Server driver (it reads the
// same Server, Database, UID and PWD keywords). A login role with a password of its own is
// checked with scram-sha-256 while every other role stays trusted. What the import stores
// before it connects is checked on replayed failures (reverse_flow_test.cc).
#include <gtest/gtest.h>

#include <string>

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
};

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
