// The whole loop on the PostgreSQL server the test starts: the PostgreSQL sample's scripts run
// by psql, the database read back by kastel reverse into a new workbook, whose scripts must be
// the same bytes. Then what a sheet cannot hold, and what a login keeps. A login that fails is
// checked on the same server in reverse_pg_test.cc.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "script_run.h"
#include "test_databases.h"

namespace kastel::testing {
namespace {

class PgsRoundTripTest : public ::testing::Test {
 protected:
  static void TearDownTestSuite() { StopSharedPostgres(); }

  // The socket folder, which the driver takes as the server's host name, and the port.
  static std::string Server() {
    return SharedPostgres().SocketFolder() + "," + std::to_string(SharedPostgres().Port());
  }

  static void RunScripts(const std::string& dir, const std::string& database) {
    for (const std::string& f : kScriptFiles) {
      const std::string command =
          SharedPostgres().PsqlCommand("-v ON_ERROR_STOP=1 -f " + dir + "/" + f, database) +
          " >/dev/null 2>&1";
      ASSERT_EQ(std::system(command.c_str()), 0) << f;
    }
  }

  static RunResult Reverse(const std::string& book, const std::string& user,
                           const std::string& password, const std::string& server = Server(),
                           const std::vector<std::string>& more = {}) {
    ::setenv("KASTEL_PASSWORD", password.c_str(), 1);
    std::vector<std::string> args = {"reverse",    book,   "--server", server,
                                     "--database", "loop", "--user",   user};
    args.insert(args.end(), more.begin(), more.end());
    RunResult r = Kastel(args);
    ::unsetenv("KASTEL_PASSWORD");
    return r;
  }

  // The connection parameters the workbook keeps, "NAME=value;" each.
  static std::string Stored(const std::string& book) {
    const Facts facts = DumpBook(book);
    std::string text;
    for (const char* name :
         {"DATA_SOURCE", "USER_ID", "PASSWORD", "DATABASE", "SCHEMA", "SAVE_PWD"}) {
      const std::string value = Get(facts, std::string("custom:") + name);
      text += std::string(name) + "=" + value.substr(value.find('|') + 1) + ";";
    }
    return text;
  }

  static void ExpectSameScripts(const std::string& want, const std::string& got) {
    for (const std::string& f : kScriptFiles) {
      EXPECT_EQ(ReadFile(got + "/" + f), ReadFile(want + "/" + f)) << f;
    }
  }
};

TEST_F(PgsRoundTripTest, SampleScriptsComeBackByteForByteTwice) {
  ScratchDir dir;
  SharedPostgres().RunSql("DROP DATABASE IF EXISTS loop; CREATE DATABASE loop;");
  const std::string sample = std::string(KASTEL_SAMPLE_DIR) + "/サンプル_PostgreSQL.xlsx";
  const std::string book = (dir / "imported.xlsx");
  ASSERT_EQ(Kastel({"new", "--postgres", book}).status, 0);

  std::string scripts = dir.Sub("sample");
  RunResult r = Kastel({"script", sample, "-o", scripts});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(ReadFile(scripts + "/table.sql").find('\r'), std::string::npos);
  for (int pass = 1; pass <= 2; ++pass) {
    SCOPED_TRACE("pass " + std::to_string(pass));
    // The second pass drops and recreates everything the first one made.
    RunScripts(scripts, "loop");
    r = Reverse(book, "postgres", "");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "5 テーブルを取り込みました\n");
    // The sheets are copies of a template without a print area; the refresh gives them one.
    EXPECT_EQ(Get(DumpBook(book), "printarea:1"), "$B$3:$V$37");
    const std::string again = dir.Sub("imported-" + std::to_string(pass));
    ASSERT_EQ(Kastel({"script", book, "-o", again}).status, 0);
    ExpectSameScripts(scripts, again);
    scripts = again;
  }

  // An expression index, a partial one and an eleventh index have no place on a sheet: they
  // are named, and every other index still comes back.
  SharedPostgres().RunSql(
      "CREATE INDEX ix_emp_lower ON emp (lower(emp_name));"
      "CREATE INDEX ix_emp_active ON emp (hired_on) WHERE active;"
      "CREATE INDEX ix_many_index_11 ON many_index (c11);",
      "loop");
  r = Reverse(book, "postgres", "");
  EXPECT_NE(r.status, 0);
  EXPECT_NE(r.err.find("テーブル'emp'の次のインデックスは読み込めませんでした。\n"
                       "式または条件付きのインデックス: ix_emp_lower, ix_emp_active\n"),
            std::string::npos)
      << r.err;
  EXPECT_NE(r.err.find("インデックス欄 (10個まで) に入らないインデックス: ix_many_index_11"),
            std::string::npos)
      << r.err;
}

TEST_F(PgsRoundTripTest, LoginsKeepTheirParametersAndThePasswordOnlyWhenAsked) {
  ScratchDir dir;
  PostgresServer& server = SharedPostgres();
  server.RunSql("DROP DATABASE IF EXISTS loop; CREATE DATABASE loop;");
  server.RunSql("DROP ROLE IF EXISTS kastel_pg; CREATE ROLE kastel_pg LOGIN PASSWORD 'it''s';");
  server.RequirePassword("kastel_pg");

  const std::string book = (dir / "book.xlsx");
  ASSERT_EQ(Kastel({"new", "--postgres", book}).status, 0);
  EXPECT_EQ(Get(DumpBook(book), "name:DATA_TYPE"), "'@LIST'!$D$2:$D$32");
  // An empty schema is a warning, and the parameters are kept; the password only when asked.
  const std::vector<std::string> sales = {"--schema", "sales"};
  const std::string kept = "DATA_SOURCE=" + Server() + ";USER_ID=kastel_pg;PASSWORD=";
  RunResult r = Reverse(book, "kastel_pg", "it's", Server(), sales);
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.err.find("スキーマ情報が読み込めません。"), std::string::npos) << r.err;
  EXPECT_EQ(r.out, "0 テーブルを取り込みました\n");
  EXPECT_EQ(Stored(book), kept + ";DATABASE=loop;SCHEMA=sales;SAVE_PWD=False;");
  r = Reverse(book, "kastel_pg", "it's", Server(), {"--schema", "sales", "--save-password"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(Stored(book), kept + "it's;DATABASE=loop;SCHEMA=sales;SAVE_PWD=True;");
}

}  // namespace
}  // namespace kastel::testing
