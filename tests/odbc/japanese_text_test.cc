// Japanese names, comments, literals and messages through both builds of the PostgreSQL driver:
// the Unicode one takes the wide calls, the ANSI one narrow calls carrying UTF-8.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/vb.h"
#include "odbc/driver_library.h"
#include "odbc/odbc_provider.h"
#include "support.h"
#include "test_databases.h"

namespace kastel::odbc {
namespace {

using kastel::testing::FindOdbcDriver;

TEST(JapaneseTextTest, BothDriverBuildsGiveTheSameCells) {
  auto& server = kastel::testing::SharedPostgres();
  server.RunSql("CREATE DATABASE \"受注管理\";");
  server.RunSql(
      "CREATE TABLE 顧客 (顧客番号 integer PRIMARY KEY, 氏名 varchar(40) NOT NULL);"
      "CREATE INDEX 顧客_氏名 ON 顧客 (氏名);"
      "COMMENT ON TABLE 顧客 IS '顧客|お客様の一覧';"
      "COMMENT ON COLUMN 顧客.氏名 IS '氏名|姓と名|𠮷は四つ目の面の字';",
      "受注管理");
  const std::vector<std::string> want = {
      "顧客|顧客|お客様の一覧|顧客番号||否",
      "顧客|顧客|お客様の一覧|氏名|氏名|姓と名|𠮷は四つ目の面の字|否",
      "顧客_pkey|True|顧客番号",
      "顧客_氏名|False|氏名",
  };
  const std::string unicode = "{" + FindOdbcDriver("PostgreSQL Unicode") + "}";
  for (const char* driver : {"PostgreSQL Unicode", "PostgreSQL ANSI"}) {
    SCOPED_TRACE(driver);
    // The database name in the connection string is Japanese as well.
    std::string odbc = server.OdbcConnectionString("受注管理");
    odbc.replace(odbc.find(unicode), unicode.size(), "{" + FindOdbcDriver(driver) + "}");
    OdbcProvider provider;
    auto connection = provider.CreateConnection("ADODB.Connection");
    connection->SetConnectionString("Provider=MSDASQL;" + odbc);
    connection->Open();
    std::vector<std::string> got;
    auto add = [&](data::Recordset& rs, const std::vector<std::string>& fields) {
      for (; !rs.Eof(); rs.MoveNext()) {
        std::string line;
        for (const std::string& f : fields)
          line += (line.empty() ? "" : "|") + vb::Concat(rs.Field(f));
        got.push_back(line);
      }
    };
    // Names, aliases and the literal travel in the statement; the comments come back.
    add(*connection->Execute(
            "SELECT c.table_name AS 表名, obj_description('顧客'::regclass) AS 表注釈,"
            " c.column_name AS 列名, col_description('顧客'::regclass, c.ordinal_position) AS "
            "列注釈,"
            " CASE c.is_nullable WHEN 'NO' THEN '否' ELSE '' END AS 必須 FROM"
            " information_schema.columns c WHERE c.table_name = '顧客' ORDER BY "
            "c.ordinal_position"),
        {"表名", "表注釈", "列名", "列注釈", "必須"});
    auto indexes = connection->OpenSchema(data::kSchemaIndexes);
    indexes->SetFilter("TABLE_NAME = '顧客'");
    indexes->SetSort("PRIMARY_KEY DESC");
    add(*indexes, {"INDEX_NAME", "PRIMARY_KEY", "COLUMN_NAME"});
    EXPECT_EQ(got, want);
    kastel::testing::ExpectError([&] { connection->Execute("SELECT * FROM 存在しない表"); },
                                 kDriverError, "\"存在しない表\"", false);
  }
  kastel::testing::StopSharedPostgres();
}

TEST(DriverLibraryTest, OnlyDriversWithWideEntryPointsGetWideCalls) {
  const struct {
    const char* driver;
    bool wide;
  } cases[] = {{"PostgreSQL Unicode", true},
               {"PostgreSQL ANSI", false},
               {"SQLite3", false},
               {"FreeTDS", true}};
  for (const auto& c : cases) {
    const std::string name = FindOdbcDriver(c.driver);
    ASSERT_FALSE(name.empty()) << c.driver;
    EXPECT_EQ(DriverHasWideCalls("Driver={" + name + "};Database=x"), c.wide) << c.driver;
  }
  // A driver nobody installed: the driver manager says so when connecting.
  EXPECT_TRUE(DriverHasWideCalls("Driver={No Such Driver 9}"));
}

}  // namespace
}  // namespace kastel::odbc
