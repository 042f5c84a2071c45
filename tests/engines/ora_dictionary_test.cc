// The Oracle catalogue query run for real: PostgreSQL stands in for the dictionary views (tables
// of their names and columns, and the two Oracle functions the query calls), and the query
// travels the ODBC adapter as the engine sends it.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "addin/connect.h"
#include "base/vb.h"
#include "engines/ora_tools.h"
#include "odbc/odbc_provider.h"
#include "term/term_shell.h"
#include "test_databases.h"

namespace kastel::testing {
namespace {

constexpr const char* kDictionary = R"sql(
CREATE TABLE user_tables AS SELECT '受注'::text AS table_name;
CREATE TABLE user_tab_comments AS SELECT '受注'::text AS table_name, '受注|見出し'::text AS comments;
CREATE TABLE user_col_comments (table_name text, column_name text, comments text);
CREATE TABLE user_tab_columns (table_name text, column_name text, data_type text,
  data_length numeric, data_precision numeric, data_scale numeric, nullable text,
  data_default text, column_id serial);
CREATE FUNCTION to_char(numeric) RETURNS text LANGUAGE sql AS 'SELECT $1::text';
CREATE FUNCTION decode(text, text, text, text) RETURNS text LANGUAGE sql
  AS 'SELECT CASE WHEN $1 = $2 THEN $3 ELSE $4 END';
)sql";

TEST(OracleDictionaryTest, TypeTextsRecreateTheColumn) {
  const struct {
    const char* row;  // type, length, precision, scale as the dictionary holds them
    const char* text;
  } cases[] = {
      {"'NUMBER', 22, 10, 2", "NUMBER(10,2)"},
      {"'NUMBER', 22, 5, 0", "NUMBER(5)"},
      {"'NUMBER', 22, NULL, NULL", "NUMBER"},
      {"'NUMBER', 22, NULL, 0", "NUMBER(*,0)"},  // INTEGER, INT, SMALLINT
      {"'FLOAT', 22, 126, NULL", "FLOAT(126)"},
      {"'VARCHAR2', 20, NULL, NULL", "VARCHAR2(20)"},
      {"'DATE', 7, NULL, NULL", "DATE"},
      {"'TIMESTAMP(0)', 7, NULL, 0", "TIMESTAMP(0)"},
      {"'TIMESTAMP(6) WITH TIME ZONE', 13, NULL, 6", "TIMESTAMP(6) WITH TIME ZONE"},
      {"'CLOB', 4000, NULL, NULL", "CLOB"},
  };
  std::string sql = kDictionary;
  std::vector<std::string> want;
  for (const auto& c : cases) {
    const char* nullable = want.empty() ? "N" : "Y";
    sql += std::string("INSERT INTO user_tab_columns VALUES ('受注', 'C', ") + c.row + ", '" +
           nullable + "');\n";
    want.push_back(std::string(c.text) + "|受注|見出し" + (want.empty() ? "|否" : "|"));
  }
  auto& server = SharedPostgres();
  server.RunSql("CREATE DATABASE oradict;");
  server.RunSql(sql, "oradict");

  std::ostringstream out, err;
  std::istringstream in;
  term::TermShell shell(out, err, in, false);
  addin::Connect kastel(shell);
  engines::OraTools ora(kastel.engine_context());
  odbc::OdbcProvider provider;
  auto connection = provider.CreateConnection("ADODB.Connection");
  connection->SetConnectionString("Provider=MSDASQL;" + server.OdbcConnectionString("oradict"));
  connection->Open();
  std::vector<std::string> got;
  for (auto rs = connection->Execute(ora.lfSchemaQuery()); !rs->Eof(); rs->MoveNext()) {
    got.push_back(vb::Concat(rs->Field("DATA_TYPE")) + "|" +
                  vb::Concat(rs->Field("TABLE_COMMENT")) + "|" + vb::Concat(rs->Field("NULLABLE")));
  }
  EXPECT_EQ(got, want);
  StopSharedPostgres();
}

}  // namespace
}  // namespace kastel::testing
