// The adapter against real databases: a PostgreSQL server of the test run's own and SQLite
// files, each through its ODBC driver and the MSDASQL route.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "base/vb.h"
#include "odbc/odbc_connection.h"
#include "odbc/odbc_provider.h"
#include "support.h"
#include "test_databases.h"

namespace kastel::odbc {
namespace {

using kastel::testing::ExpectError;

enum class Backend { kPostgres, kSqlite };

class StopServerAtEnd : public ::testing::Environment {
 public:
  void TearDown() override { kastel::testing::StopSharedPostgres(); }
};
[[maybe_unused]] auto* const kStopServer = ::testing::AddGlobalTestEnvironment(new StopServerAtEnd);

class DatabaseTest : public ::testing::TestWithParam<Backend> {
 protected:
  void SetUp() override {
    if (GetParam() == Backend::kPostgres) {
      // Throws, and so fails the test with initdb's or pg_ctl's output, when the server
      // cannot start: these tests never pass by skipping.
      auto& server = kastel::testing::SharedPostgres();
      const std::string database = "t" + std::to_string(++counter_);
      server.RunSql("CREATE DATABASE " + database + ";");
      odbc_ = server.OdbcConnectionString(database);
    } else {
      std::string driver = kastel::testing::FindOdbcDriver("SQLite3");
      ASSERT_FALSE(driver.empty()) << "no SQLite3 ODBC driver is registered";
      odbc_ = "Driver={" + driver + "};Database=" + (folder_.path() / "test.db").string();
    }
    connection_ = provider_.CreateConnection("ADODB.Connection");
    connection_->SetConnectionString("Provider=MSDASQL;" + odbc_);
    connection_->Open();
    connection_->SetCursorLocation(data::kUseClient);
  }

  bool postgres() const { return GetParam() == Backend::kPostgres; }

  static inline int counter_ = 0;
  kastel::testing::TempFolder folder_;
  std::string odbc_;
  OdbcProvider provider_;
  std::unique_ptr<data::Connection> connection_;
};

// The fields of every row as text, "|" between fields, null as "NULL".
std::vector<std::string> Rows(data::Recordset& rs, const std::vector<std::string>& fields) {
  std::vector<std::string> out;
  for (; !rs.Eof(); rs.MoveNext()) {
    std::string line;
    for (const std::string& f : fields) {
      Value v = rs.Field(f);
      line += (line.empty() ? "" : "|") +
              (v.kind() == Value::Kind::kNull ? std::string("NULL") : vb::Concat(v));
    }
    out.push_back(line);
  }
  return out;
}

TEST_P(DatabaseTest, BatchTemporaryTableIsReadableOnTheSameConnection) {
  connection_->ExecuteBatch(
      "CREATE TEMP TABLE temp_tab_info (name varchar(30), pos int);\n"
      "INSERT INTO temp_tab_info VALUES ('b', 2);\n"
      "INSERT INTO temp_tab_info VALUES ('a', 1);\n"
      "UPDATE temp_tab_info SET pos = pos + 10 WHERE name = 'none';");
  auto rs = connection_->Execute("SELECT * FROM temp_tab_info ORDER BY 1");
  EXPECT_EQ(Rows(*rs, {"name", "POS"}), (std::vector<std::string>{"a|1", "b|2"}));
}

TEST_P(DatabaseTest, QueryGivesNullsJapaneseTextAndNumbers) {
  connection_->ExecuteBatch(
      "CREATE TABLE item (id integer, title varchar(40), price numeric(9,2), ratio real, "
      "note text, made timestamp);"
      "INSERT INTO item VALUES (1, '顧客マスタ', 1234.5, 0.25, NULL, '2024-01-05 09:03:07');"
      "INSERT INTO item VALUES (2, NULL, NULL, NULL, 'ＡＢＣ①', NULL);"
      "INSERT INTO item VALUES (3, '', -7, 3, 'it''s', '2024-01-05 00:00:00');");
  auto rs =
      connection_->Execute("SELECT id, title, price, ratio, note, made FROM item ORDER BY id");
  struct Expected {
    Value id, title, price, ratio, note, made;
  };
  const Expected rows[] = {
      {Value::Number(1), Value::Text("顧客マスタ"), Value::Number(1234.5), Value::Number(0.25),
       Value::Null(), Value::Date(45296 + (9 * 3600 + 3 * 60 + 7) / 86400.0)},
      {Value::Number(2), Value::Null(), Value::Null(), Value::Null(), Value::Text("ＡＢＣ①"),
       Value::Null()},
      {Value::Number(3), Value::Text(""), Value::Number(-7), Value::Number(3), Value::Text("it's"),
       Value::Date(45296)}};
  for (const Expected& e : rows) {
    ASSERT_FALSE(rs->Eof());
    EXPECT_EQ(rs->Field("id"), e.id);
    EXPECT_EQ(rs->Field("TITLE"), e.title);
    EXPECT_EQ(rs->Field("price"), e.price);
    EXPECT_EQ(rs->Field("ratio"), e.ratio);
    EXPECT_EQ(rs->Field("note"), e.note);
    Value made = rs->Field("made");
    if (e.made.kind() == Value::Kind::kDate) {
      ASSERT_EQ(made.kind(), Value::Kind::kDate);
      EXPECT_NEAR(made.date(), e.made.date(), 1e-9);
    } else {
      EXPECT_EQ(made, e.made);
    }
    rs->MoveNext();
  }
  EXPECT_TRUE(rs->Eof());
  auto empty = connection_->Execute("SELECT id FROM item WHERE id > 99");
  EXPECT_TRUE(empty->Eof());
}

TEST_P(DatabaseTest, LongTextArrivesWhole) {
  // Pieces of one, two and three bytes, so that the driver's chunks end inside characters.
  std::string text;
  for (int i = 0; i < 3000; ++i) text += i % 3 == 0 ? "a" : (i % 3 == 1 ? "é" : "漢");
  connection_->ExecuteBatch("CREATE TABLE longtext (body text); INSERT INTO longtext VALUES ('" +
                            text + "');");
  auto rs = connection_->Execute("SELECT body FROM longtext");
  ASSERT_FALSE(rs->Eof());
  EXPECT_EQ(rs->Field("body"), Value::Text(text));
}

// Every field of the index rowset, table by table, after the engines' filter and sort.
TEST_P(DatabaseTest, IndexRowsetListsKeysUniqueAndPlainIndexes) {
  connection_->ExecuteBatch(
      "CREATE TABLE t_pk (id integer PRIMARY KEY, name varchar(20));"
      "CREATE TABLE t_uq (id integer PRIMARY KEY, code varchar(5) CONSTRAINT t_uq_code UNIQUE);"
      "CREATE TABLE t_ix (a integer, b integer);"
      "CREATE INDEX t_ix_ba ON t_ix (b, a);"
      "CREATE TABLE t_comp (x integer, y integer, z varchar(9), PRIMARY KEY (y, x));"
      "CREATE UNIQUE INDEX t_comp_z ON t_comp (z);"
      "CREATE INDEX t_comp_zx ON t_comp (z, x);"
      "CREATE TABLE t_none (a integer);"
      "CREATE TABLE \"o'k\" (k integer PRIMARY KEY);");
  struct Case {
    const char* table;
    std::vector<std::string> postgres, sqlite;
  };
  const Case cases[] = {
      {"t_pk", {"t_pk|t_pk_pkey|True|True|1|id"}, {"t_pk|sqlite_autoindex_0|True|True|1|id"}},
      {"t_uq",
       {"t_uq|t_uq_pkey|True|True|1|id", "t_uq|t_uq_code|False|True|1|code"},
       {"t_uq|sqlite_autoindex_0|True|True|1|id",
        "t_uq|sqlite_autoindex_t_uq_1|False|True|1|code"}},
      {"t_ix",
       {"t_ix|t_ix_ba|False|False|1|b", "t_ix|t_ix_ba|False|False|2|a"},
       {"t_ix|t_ix_ba|False|False|1|b", "t_ix|t_ix_ba|False|False|2|a"}},
      {"t_comp",
       {"t_comp|t_comp_pkey|True|True|1|y", "t_comp|t_comp_pkey|True|True|2|x",
        "t_comp|t_comp_z|False|True|1|z", "t_comp|t_comp_zx|False|False|1|z",
        "t_comp|t_comp_zx|False|False|2|x"},
       {"t_comp|sqlite_autoindex_t_comp_1|True|True|1|y",
        "t_comp|sqlite_autoindex_t_comp_1|True|True|2|x", "t_comp|t_comp_z|False|True|1|z",
        "t_comp|t_comp_zx|False|False|1|z", "t_comp|t_comp_zx|False|False|2|x"}},
      {"t_none", {}, {}},
      {"o''k", {"o'k|o'k_pkey|True|True|1|k"}, {"o'k|sqlite_autoindex_0|True|True|1|k"}}};
  for (const Case& c : cases) {
    auto rs = connection_->OpenSchema(data::kSchemaIndexes);
    rs->SetFilter(std::string("TABLE_NAME = '") + c.table + "'");
    rs->SetSort("PRIMARY_KEY DESC, UNIQUE DESC, INDEX_NAME, ORDINAL_POSITION");
    EXPECT_EQ(Rows(*rs, {"TABLE_NAME", "INDEX_NAME", "PRIMARY_KEY", "UNIQUE", "ORDINAL_POSITION",
                         "COLUMN_NAME"}),
              postgres() ? c.postgres : c.sqlite)
        << c.table;
    if (postgres() && !rs->Eof()) {
      EXPECT_EQ(rs->Field("TABLE_SCHEMA"), Value::Text("public"));
    }
  }
  auto* odbc = dynamic_cast<OdbcConnection*>(connection_.get());
  ASSERT_NE(odbc, nullptr);
  EXPECT_EQ(odbc->SchemaReads(), 1);
}

TEST_P(DatabaseTest, IndexRowsetIsReadAgainAfterAStatement) {
  auto* odbc = dynamic_cast<OdbcConnection*>(connection_.get());
  ASSERT_NE(odbc, nullptr);
  connection_->ExecuteBatch("CREATE TABLE r (a integer, b integer);");
  auto before = connection_->OpenSchema(data::kSchemaIndexes);
  before->SetFilter("TABLE_NAME = 'r'");
  EXPECT_TRUE(before->Eof());
  connection_->ExecuteBatch("CREATE INDEX r_b ON r (b);");
  auto after = connection_->OpenSchema(data::kSchemaIndexes);
  after->SetFilter("TABLE_NAME = 'r'");
  EXPECT_EQ(Rows(*after, {"INDEX_NAME", "COLUMN_NAME"}), std::vector<std::string>{"r_b|b"});
  EXPECT_EQ(odbc->SchemaReads(), 2);
}

TEST_P(DatabaseTest, FailuresCarryTheDriversMessage) {
  ExpectError(
      [&] { connection_->ExecuteBatch("CREATE TABLE ok1 (a integer); SELECT * FROM nope;"); },
      kDriverError, "nope", false);
  ExpectError([&] { connection_->Execute("SELEC 1"); }, kDriverError, "SELEC", false);
  ExpectError([&] { connection_->OpenSchema(4); }, 3251,
              "オブジェクトまたはプロバイダーは要求された操作を実行できません。");
  ExpectError([&] { connection_->Open(); }, 3705,
              "オブジェクトが開いている場合は、操作は許可されません。");
  ExpectError([&] { connection_->SetCursorLocation(1); }, 3001,
              "引数が間違った型、許容範囲外、または競合しています。");
  EXPECT_EQ(connection_->State(), data::kStateOpen);
  connection_->Close();
  EXPECT_EQ(connection_->State(), data::kStateClosed);
  const char* kClosed = "オブジェクトが閉じている場合は、操作は許可されません。";
  ExpectError([&] { connection_->Execute("SELECT 1"); }, 3704, kClosed);
  ExpectError([&] { connection_->OpenSchema(12); }, 3704, kClosed);
  ExpectError([&] { connection_->Close(); }, 3704, kClosed);
}

TEST_P(DatabaseTest, OpenFailsWithTheDriversMessage) {
  auto other = provider_.CreateConnection("ADODB.Connection");
  std::string bad =
      postgres() ? odbc_ + "_missing" : "Driver={SQLite3};Database=/nonexistent/dir/x.db";
  other->SetConnectionString("Provider=MSDASQL;" + bad);
  ExpectError([&] { other->Open(); }, kDriverError,
              postgres() ? "does not exist" : "connect failed", false);
  EXPECT_EQ(other->State(), data::kStateClosed);
  other->SetConnectionString("Provider=MSDASQL;Driver={No Such Driver 9};Database=x");
  ExpectError([&] { other->Open(); }, kDriverError, "[unixODBC][Driver Manager]", false);
}

INSTANTIATE_TEST_SUITE_P(Backends, DatabaseTest,
                         ::testing::Values(Backend::kPostgres, Backend::kSqlite),
                         [](const auto& param_info) {
                           return param_info.param == Backend::kPostgres ? "Postgres" : "Sqlite";
                         });

TEST(ProviderTest, CreatesOnlyConnections) {
  OdbcProvider provider;
  EXPECT_EQ(provider.CreateConnection("adodb.connection")->State(), data::kStateClosed);
  EXPECT_NE(provider.CreateConnection("ADODB.Connection.6"), nullptr);
  for (const char* id : {"ADODB.Recordset", "ADODB.Connections", "Excel.Application"}) {
    ExpectError([&] { provider.CreateConnection(id); }, 429,
                "ActiveX コンポーネントはオブジェクトを作成できません。");
  }
}

}  // namespace
}  // namespace kastel::odbc
