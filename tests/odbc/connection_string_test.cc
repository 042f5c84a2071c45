#include "odbc/connection_string.h"

#include <gtest/gtest.h>

#include <map>

#include "odbc/ado_error.h"
#include "odbc/connection_route.h"
#include "support.h"

namespace kastel::odbc {
namespace {

using kastel::testing::ExpectError;

constexpr const char* kMalformed = "初期化文字列の形式が OLE DB の仕様に従っていません。";

TEST(ConnectionStringTest, ParsesEveryQuotingOleDbAndOdbcAllow) {
  struct Case {
    const char* text;
    Attributes expected;
  };
  const Case cases[] = {
      {"Provider=SQLOLEDB;Data Source=srv;Initial Catalog=db",
       {{"Provider", "SQLOLEDB"}, {"Data Source", "srv"}, {"Initial Catalog", "db"}}},
      {"  User ID = sa  ; Password=  spaced  ;", {{"User ID", "sa"}, {"Password", "spaced"}}},
      {"Password=\"a;b\"", {{"Password", "a;b"}}},
      {"Password='it''s'", {{"Password", "it's"}}},
      {"Password=\"say \"\"hi\"\"\" ;x=1", {{"Password", "say \"hi\""}, {"x", "1"}}},
      {"Password=' spaced '", {{"Password", " spaced "}}},
      {"PWD={a;}}b=c}", {{"PWD", "a;}b=c"}}},
      {"PWD={}", {{"PWD", ""}}},
      {"a==b=c", {{"a=b", "c"}}},
      {";;a=1;; ;", {{"a", "1"}}},
      {"a=", {{"a", ""}}},
      {"a=x=y", {{"a", "x=y"}}},
      {"a=it's", {{"a", "it's"}}},
      {"Initial Catalog=販売管理;User ID=管理者",
       {{"Initial Catalog", "販売管理"}, {"User ID", "管理者"}}},
      {"", {}}};
  for (const Case& c : cases) {
    EXPECT_EQ(ParseConnectionString(c.text), c.expected) << c.text;
  }
}

TEST(ConnectionStringTest, RefusesTextOleDbCannotRead) {
  for (const char* text : {"novalue", "a=1;novalue", "=x", " = x", "a='open", "a=\"x\" y", "a={x",
                           "a={x}}", "a='x'y;b=1"}) {
    ExpectError([&] { ParseConnectionString(text); }, kDriverError, kMalformed);
  }
}

TEST(ConnectionStringTest, BracesOnlyValuesOdbcWouldMisread) {
  const std::pair<const char*, const char*> cases[] = {{"plain", "plain"},
                                                       {"a b", "a b"},
                                                       {"", ""},
                                                       {"パスワード", "パスワード"},
                                                       {"a;b", "{a;b}"},
                                                       {"a}b", "{a}}b}"},
                                                       {"{x", "{{x}"},
                                                       {"a=b", "{a=b}"},
                                                       {" x", "{ x}"},
                                                       {"x ", "{x }"},
                                                       {"\"q\"", "{\"q\"}"},
                                                       {"'q", "{'q}"},
                                                       {"in'side", "in'side"},
                                                       {"}}", "{}}}}}"}};
  for (const auto& [value, quoted] : cases) {
    EXPECT_EQ(QuoteOdbcValue(value), quoted) << value;
    Attributes back = ParseConnectionString(WriteOdbcConnectionString({{"PWD", value}}));
    ASSERT_EQ(back.size(), 1u) << value;
    EXPECT_EQ(back[0].value, value);
  }
}

TEST(ConnectionStringTest, FindsTheLastAttributeIgnoringCase) {
  Attributes attrs = ParseConnectionString("uid=a;UID=b;Pwd=c");
  EXPECT_EQ(FindAttribute(attrs, "Uid"), "b");
  EXPECT_EQ(FindAttribute(attrs, "PWD"), "c");
  EXPECT_EQ(FindAttribute(attrs, "Database"), std::nullopt);
}

EnvLookup Env(std::map<std::string, std::string> vars) {
  return [vars](std::string_view name) -> std::optional<std::string> {
    auto it = vars.find(std::string(name));
    if (it == vars.end()) return std::nullopt;
    return it->second;
  };
}

TEST(ConnectionRouteTest, TranslatesEachProviderToItsDriver) {
  struct Case {
    const char* ado;
    std::map<std::string, std::string> env;
    const char* odbc;
  };
  const Case cases[] = {
      {"Provider=SQLOLEDB;Data Source=(local);Integrated Security=SSPI;Initial Catalog=db",
       {},
       "Driver=FreeTDS;Server=localhost;Database=db;Trusted_Connection=Yes;ClientCharset=UTF-8"},
      {"Provider=SQLOLEDB;Data Source=db1;Persist Security Info=True;Password=pw;User ID=sa;"
       "Initial Catalog=販売",
       {},
       "Driver=FreeTDS;Server=db1;Database=販売;UID=sa;PWD=pw;ClientCharset=UTF-8"},
      {"Provider=SQLOLEDB;Data Source=(LOCAL)\\SQLEXPRESS;Integrated Security=SSPI;"
       "User ID=ignored;Password=ignored;Initial Catalog=",
       {},
       "Driver=FreeTDS;Server=localhost\\SQLEXPRESS;Database=;Trusted_Connection=Yes;"
       "ClientCharset=UTF-8"},
      {"Provider=SQLOLEDB.1;Data Source=;Password=\"p;w}d\";User ID=sa",
       {},
       "Driver=FreeTDS;Server=localhost;UID=sa;PWD={p;w}}d};ClientCharset=UTF-8"},
      {"Provider=SQLOLEDB;Data Source=.;User ID=sa;Password=x",
       {{"KASTEL_ODBC_SQLSERVER", "ODBC Driver 18 for SQL Server"}},
       "Driver=ODBC Driver 18 for SQL Server;Server=localhost;UID=sa;PWD=x"},
      // This machine with a port or an instance; a name only beginning like it is another.
      {"Provider=SQLOLEDB;Data Source=(local),1433;User ID=sa",
       {{"KASTEL_ODBC_SQLSERVER", "ODBC Driver 18 for SQL Server"}},
       "Driver=ODBC Driver 18 for SQL Server;Server=localhost,1433;UID=sa"},
      {"Provider=SQLOLEDB;Data Source=.\\SQLEXPRESS,1433;User ID=sa",
       {{"KASTEL_ODBC_SQLSERVER", "ODBC Driver 18 for SQL Server"}},
       "Driver=ODBC Driver 18 for SQL Server;Server=localhost\\SQLEXPRESS,1433;UID=sa"},
      {"Provider=SQLOLEDB;Data Source=(local)db,1433;User ID=sa",
       {{"KASTEL_ODBC_SQLSERVER", "ODBC Driver 18 for SQL Server"}},
       "Driver=ODBC Driver 18 for SQL Server;Server=(local)db,1433;UID=sa"},
      {"Provider=SQLOLEDB;Data Source=h;User ID=u;Password=p;TDS_Version=7.4",
       {{"KASTEL_ODBC_SQLSERVER", ""}},
       "Driver=FreeTDS;Server=h;UID=u;PWD=p;ClientCharset=UTF-8;TDS_Version=7.4"},
      {"Provider=MSDAORA;Data Source=ORCL;User ID=scott;Password=tiger;",
       {{"KASTEL_ODBC_ORACLE", "Oracle 19 ODBC driver"}},
       "Driver=Oracle 19 ODBC driver;DBQ=ORCL;UID=scott;PWD=tiger"},
      {"Provider=MSDAORA;Data Source=ORCL;User ID=scott;Password='a=b';",
       {{"KASTEL_ODBC_ORACLE", "{Oracle}"}},
       "Driver={{Oracle}}};DBQ=ORCL;UID=scott;PWD={a=b}"},
      {"Provider=MSDASQL;Driver={SQLite3};Database=/data/a b.db",
       {},
       "Driver=SQLite3;Database=/data/a b.db"},
      {"DSN=sales;UID=u;PWD={x;y}", {}, "DSN=sales;UID=u;PWD={x;y}"},
      {"Provider=MSDASQL.1;Extended Properties=\"DSN=sales;UID=u\"", {}, "DSN=sales;UID=u"}};
  for (const Case& c : cases) {
    EXPECT_EQ(RouteConnectionString(c.ado, Env(c.env)), c.odbc) << c.ado;
  }
}

TEST(ConnectionRouteTest, RefusesProvidersWithoutARoute) {
  ExpectError([] { RouteConnectionString("Provider=Microsoft.Jet.OLEDB.4.0", Env({})); }, 3706,
              "プロバイダーが見つかりません。正しくインストールされていない可能性があります。");
  ExpectError([] { RouteConnectionString("Provider=MSDAORA;Data Source=ORCL", Env({})); },
              kDriverError,
              "Oracle の ODBC ドライバー名が設定されていません。環境変数 KASTEL_ODBC_ORACLE "
              "にドライバー名を設定してください。");
}

}  // namespace
}  // namespace kastel::odbc
