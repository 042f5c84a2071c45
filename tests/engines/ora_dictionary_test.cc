// The Oracle catalogue query run for real: PostgreSQL stands in for Oracle's dictionary views
// (tables of the views' names and columns, and the two Oracle functions the query calls), and
// the query travels the ODBC adapter as the engine sends it.
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
CREATE TABLE user_tables (table_name varchar(128));
CREATE TABLE user_tab_comments (table_name varchar(128), comments varchar(4000));
CREATE TABLE user_tab_columns (table_name varchar(128), column_name varchar(128),
  data_type varchar(128), data_length numeric, data_precision numeric, data_scale numeric,
  nullable char(1), data_default text, column_id numeric);
CREATE TABLE user_col_comments (table_name varchar(128), column_name varchar(128),
  comments varchar(4000));
CREATE FUNCTION to_char(numeric) RETURNS text LANGUAGE sql IMMUTABLE AS 'SELECT $1::text';
CREATE FUNCTION decode(text, text, text, text) RETURNS text LANGUAGE sql IMMUTABLE
  AS 'SELECT CASE WHEN $1 = $2 THEN $3 ELSE $4 END';
INSERT INTO user_tables VALUES ('受注');
INSERT INTO user_tab_comments VALUES ('受注', '受注|受注の見出し');
INSERT INTO user_col_comments VALUES ('受注', 'C01', 'C01|番号|主キー');
)sql";

TEST(OracleDictionaryTest, TypeTextsRecreateTheColumn) {
  const struct {
    const char* type;
    const char *length, *precision, *scale;  // as the dictionary holds them, "NULL" for none
    const char* text;                        // the type text the query gives
  } cases[] = {
      {"NUMBER", "22", "10", "2", "NUMBER(10,2)"},
      {"NUMBER", "22", "5", "0", "NUMBER(5)"},
      {"NUMBER", "22", "5", "-2", "NUMBER(5,-2)"},
      {"NUMBER", "22", "NULL", "NULL", "NUMBER"},
      {"NUMBER", "22", "NULL", "0", "NUMBER(*,0)"},  // INTEGER, INT, SMALLINT
      {"NUMBER", "22", "NULL", "3", "NUMBER(*,3)"},
      {"FLOAT", "22", "126", "NULL", "FLOAT(126)"},
      {"CHAR", "4", "NULL", "NULL", "CHAR(4)"},
      {"VARCHAR2", "20", "NULL", "NULL", "VARCHAR2(20)"},
      {"RAW", "64", "NULL", "NULL", "RAW(64)"},
      {"DATE", "7", "NULL", "NULL", "DATE"},
      {"TIMESTAMP(0)", "7", "NULL", "0", "TIMESTAMP(0)"},
      {"TIMESTAMP(6) WITH TIME ZONE", "13", "NULL", "6", "TIMESTAMP(6) WITH TIME ZONE"},
      {"INTERVAL DAY(2) TO SECOND(6)", "11", "2", "6", "INTERVAL DAY(2) TO SECOND(6)"},
      {"BINARY_DOUBLE", "8", "NULL", "NULL", "BINARY_DOUBLE"},
      {"CLOB", "4000", "NULL", "NULL", "CLOB"},
  };
  std::string rows;
  std::vector<std::string> want;
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    const auto& c = cases[i];
    const std::string id = std::to_string(i + 1);
    rows += "INSERT INTO user_tab_columns VALUES ('受注', 'C" + std::string(i < 9 ? "0" : "") + id +
            "', '" + c.type + "', " + c.length + ", " + c.precision + ", " + c.scale + ", '" +
            (i == 0 ? "N" : "Y") + "', NULL, " + id + ");\n";
    want.push_back(std::string(c.text) + (i == 0 ? "|否" : "|"));
  }
  auto& server = SharedPostgres();
  server.RunSql("CREATE DATABASE oradict;");
  server.RunSql(std::string(kDictionary) + rows, "oradict");

  std::ostringstream out, err;
  std::istringstream in;
  term::TermShell shell(out, err, in, false);
  addin::Connect kastel(shell);
  engines::OraTools ora(kastel.engine_context());
  odbc::OdbcProvider provider;
  auto connection = provider.CreateConnection("ADODB.Connection");
  connection->SetConnectionString("Provider=MSDASQL;" + server.OdbcConnectionString("oradict"));
  connection->Open();
  auto rs = connection->Execute(ora.lfSchemaQuery());
  std::vector<std::string> got;
  for (; !rs->Eof(); rs->MoveNext()) {
    EXPECT_EQ(vb::Concat(rs->Field("TABLE_COMMENT")), "受注|受注の見出し");
    got.push_back(vb::Concat(rs->Field("DATA_TYPE")) + "|" + vb::Concat(rs->Field("NULLABLE")));
  }
  EXPECT_EQ(got, want);
  StopSharedPostgres();
}

}  // namespace
}  // namespace kastel::testing
