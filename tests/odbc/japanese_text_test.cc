// Japanese names, comments, literals and messages through both builds of the PostgreSQL driver:
// the Unicode one takes the wide calls, the ANSI one narrow calls carrying UTF-8. Each must give
// back the same cells.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "base/vb.h"
#include "expect_error.h"
#include "odbc/driver_library.h"
#include "odbc/odbc_provider.h"
#include "odbc/wide_text.h"
#include "test_databases.h"

namespace kastel::odbc {
namespace {

using kastel::testing::FindOdbcDriver;
using kastel::testing::RaisesDriverError;
using kastel::testing::SharedPostgres;

constexpr const char* kDatabase = "受注管理";

// Every row as its fields joined by "|", null as "NULL".
std::vector<std::string> Rows(data::Recordset& rs, const std::vector<std::string>& fields) {
  std::vector<std::string> out;
  for (; !rs.Eof(); rs.MoveNext()) {
    std::string line;
    for (const std::string& f : fields) {
      const Value v = rs.Field(f);
      line += (line.empty() ? "" : "|") + (v.kind() == Value::Kind::kNull ? "NULL" : vb::Concat(v));
    }
    out.push_back(line);
  }
  return out;
}

class JapaneseTextTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    auto& server = SharedPostgres();
    server.RunSql(std::string("CREATE DATABASE \"") + kDatabase + "\";");
    server.RunSql(
        "CREATE TABLE 顧客 (顧客番号 integer PRIMARY KEY, 氏名 varchar(40) NOT NULL, 備考 text);"
        "CREATE INDEX 顧客_氏名 ON 顧客 (氏名);"
        "COMMENT ON TABLE 顧客 IS '顧客|お客様の一覧';"
        "COMMENT ON COLUMN 顧客.氏名 IS '氏名|姓と名|𠮷は四つ目の面の字';"
        "INSERT INTO 顧客 VALUES (1, '山田 太郎', 'ＡＢＣ①');",
        kDatabase);
  }
  static void TearDownTestSuite() { kastel::testing::StopSharedPostgres(); }

  // A connection through the driver whose registered name holds `driver`.
  std::unique_ptr<data::Connection> Connect(const std::string& driver) {
    const std::string name = FindOdbcDriver(driver);
    EXPECT_FALSE(name.empty()) << "no " << driver << " driver is registered";
    std::string odbc = SharedPostgres().OdbcConnectionString(kDatabase);
    const std::string unicode = "{" + FindOdbcDriver("PostgreSQL Unicode") + "}";
    odbc.replace(odbc.find(unicode), unicode.size(), "{" + name + "}");
    auto connection = provider_.CreateConnection("ADODB.Connection");
    connection->SetConnectionString("Provider=MSDASQL;" + odbc);
    connection->Open();
    return connection;
  }

  OdbcProvider provider_;
};

TEST_F(JapaneseTextTest, BothDriverBuildsGiveTheSameCells) {
  const std::vector<std::string> columns = {
      "顧客|顧客|お客様の一覧|顧客番号|NULL|否",
      "顧客|顧客|お客様の一覧|氏名|氏名|姓と名|𠮷は四つ目の面の字|否",
      "顧客|顧客|お客様の一覧|備考|NULL|",
  };
  for (const char* driver : {"PostgreSQL Unicode", "PostgreSQL ANSI"}) {
    SCOPED_TRACE(driver);
    auto connection = Connect(driver);
    // The literal and the names in the statement travel to the server as well.
    auto rs = connection->Execute(
        "SELECT c.table_name AS 表名, obj_description('顧客'::regclass) AS 表注釈,"
        " c.column_name AS 列名, col_description('顧客'::regclass, c.ordinal_position) AS 列注釈,"
        " CASE c.is_nullable WHEN 'NO' THEN '否' ELSE '' END AS 必須"
        " FROM information_schema.columns c WHERE c.table_name = '顧客' ORDER BY "
        "c.ordinal_position");
    EXPECT_EQ(Rows(*rs, {"表名", "表注釈", "列名", "列注釈", "必須"}), columns);

    auto data = connection->Execute("SELECT * FROM 顧客");
    EXPECT_EQ(Rows(*data, {"顧客番号", "氏名", "備考"}),
              std::vector<std::string>{"1|山田 太郎|ＡＢＣ①"});

    auto indexes = connection->OpenSchema(data::kSchemaIndexes);
    indexes->SetFilter("TABLE_NAME = '顧客'");
    indexes->SetSort("PRIMARY_KEY DESC, INDEX_NAME");
    EXPECT_EQ(Rows(*indexes, {"INDEX_NAME", "PRIMARY_KEY", "COLUMN_NAME"}),
              (std::vector<std::string>{"顧客_pkey|True|顧客番号", "顧客_氏名|False|氏名"}));

    EXPECT_TRUE(RaisesDriverError([&] { connection->Execute("SELECT * FROM 存在しない表"); },
                                  "\"存在しない表\""));
  }
}

TEST(DriverLibraryTest, OnlyDriversWithWideEntryPointsGetWideCalls) {
  const struct {
    const char* driver;
    bool wide;
  } cases[] = {{"PostgreSQL Unicode", true},
               {"PostgreSQL ANSI", false},
               {"SQLite3", false},
               {"FreeTDS", true}};
  // A data source names its driver in the user's odbc.ini.
  kastel::testing::TempFolder folder;
  const std::string ini = (folder.path() / "odbc.ini").string();
  std::ofstream out(ini);
  for (const auto& c : cases)
    out << "[" << c.driver << " DSN]\nDriver=" << FindOdbcDriver(c.driver) << "\n";
  out.close();
  ::setenv("ODBCINI", ini.c_str(), 1);
  for (const auto& c : cases) {
    const std::string name = FindOdbcDriver(c.driver);
    ASSERT_FALSE(name.empty()) << c.driver;
    EXPECT_EQ(DriverHasWideCalls("Driver={" + name + "};Database=x"), c.wide) << c.driver;
    EXPECT_EQ(DriverHasWideCalls(std::string("DSN=") + c.driver + " DSN;UID=x"), c.wide)
        << c.driver;
  }
  ::unsetenv("ODBCINI");
  // The library's own name in place of a registered one, and a driver nobody installed.
  const std::string ansi = DriverLibrary("Driver={" + FindOdbcDriver("PostgreSQL ANSI") + "}");
  EXPECT_FALSE(DriverHasWideCalls("DRIVER=" + ansi)) << ansi;
  EXPECT_TRUE(DriverHasWideCalls("Driver={No Such Driver 9}"));
}

TEST(WideTextTest, ConvertsEveryPlaneAndReplacesWhatIsNotText) {
  const struct {
    std::string utf8;
    WideText wide;
    std::string back;  // the text ToUtf8(ToWide(utf8)) gives
  } cases[] = {
      {"", {}, ""},
      {"a否", {u'a', 0x5426}, "a否"},
      {"𠮷", {0xD842, 0xDFB7}, "𠮷"},
      {"\xE5\x90", {0xFFFD, 0xFFFD}, "\xEF\xBF\xBD\xEF\xBF\xBD"},  // cut short
      {"\xC0\xAF", {0xFFFD, 0xFFFD}, "\xEF\xBF\xBD\xEF\xBF\xBD"},  // overlong
      {"\xED\xA0\x80", {0xFFFD, 0xFFFD, 0xFFFD}, "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ToWide(c.utf8), c.wide) << c.utf8;
    EXPECT_EQ(ToUtf8(ToWide(c.utf8)), c.back) << c.utf8;
  }
  const SQLWCHAR lone[] = {u'x', 0xDC00, 0xD800};
  EXPECT_EQ(ToUtf8(lone, 3), "x\xEF\xBF\xBD\xEF\xBF\xBD");
}

}  // namespace
}  // namespace kastel::odbc
