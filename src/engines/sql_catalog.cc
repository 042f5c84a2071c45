// The SQL Server catalogue: the batch that collects every user table's columns with their
// titles and comments, the reading of its rows, and the index rowset.
#include <cstddef>
#include <iterator>
#include <memory>
#include <string>

#include "base/error.h"
#include "base/vb.h"
#include "engines/index_import.h"
#include "engines/sql_tools.h"
#include "model/defines.h"

namespace kastel::engines {
namespace {

// The lines of the catalogue batch. The comments and the commented-out block are part of what
// the server receives. Names are as wide as the server's own (sysname, 128), titles, defaults
// and comments as wide as an extended property or a default can be, so nothing is cut or
// refused. Type texts are those that recreate the column: (max) for the large-value types, the
// length of binary types, a time type's fractional digits and float's precision where they are
// not the defaults. The N of N'否' keeps the mark on a database whose collation has no kanji.
// The identity test names the table quoted, so that a name holding brackets, dots or blanks
// still finds its table.
constexpr const char* kSchemaLines[] = {
    "BEGIN",
    "    -- カーソル宣言",
    "    DECLARE curTabs CURSOR FOR",
    "        SELECT",
    "           t1.TABLE_NAME                                  AS TABLE_NAME",
    "          ,CONVERT(nvarchar(4000), ISNULL(t2.value, ''))  AS TABLE_TITLE",
    "        FROM INFORMATION_SCHEMA.TABLES t1",
    "        LEFT JOIN ::fn_listextendedproperty(N'MS_Description', N'user', N'dbo', N'table', "
    "NULL, NULL, default) t2 ON (t2.objName = t1.TABLE_NAME COLLATE Japanese_CI_AS)",
    "        WHERE t1.TABLE_TYPE='BASE TABLE'",
    "          AND t1.TABLE_NAME NOT IN ('dtproperties')",
    "        ORDER BY",
    "           t1.TABLE_NAME",
    "",
    "    -- カール変数宣言",
    "    DECLARE  @Fld_TABLE_NAME        nvarchar(128)",
    "            ,@Fld_TABLE_TITLE       nvarchar(4000)",
    "",
    "    -- 一時テーブル作成",
    "/*",
    "    IF EXISTS(SELECT NAME FROM tempdb..sysobjects WHERE NAME LIKE N'#temp_tab_info%')",
    "    BEGIN ",
    "        DROP TABLE #temp_tab_info",
    "    END",
    "*/",
    "",
    "    CREATE TABLE #temp_tab_info(",
    "         TABLE_NAME         nvarchar(128)",
    "        ,TABLE_TITLE        nvarchar(4000)",
    "        ,ORDINAL_POSITION   int",
    "        ,COLUMN_NAME        nvarchar(128)",
    "        ,COLUMN_TITLE       nvarchar(4000)",
    "        ,DATA_TYPE          nvarchar(200)",
    "        ,NULLABLE           nvarchar(3)",
    "        ,DEFAULT_VALUE      nvarchar(4000)",
    "        ,COLUMN_COMMENT     nvarchar(4000)",
    "    )",
    "",
    "    -- カーソルオープン",
    "    OPEN curTabs",
    "",
    "    -- EOFまでループする",
    "    WHILE @@ERROR = 0",
    "    BEGIN",
    "        -- 読込",
    "        FETCH NEXT FROM curTabs INTO @Fld_TABLE_NAME, @Fld_TABLE_TITLE",
    "",
    "        -- EOFチェック",
    "        IF @@FETCH_STATUS <> 0 BREAK",
    "",
    "        -- 一時テーブルに追加",
    "        INSERT INTO #temp_tab_info",
    "        SELECT",
    "            @Fld_TABLE_NAME                                             AS TABLE_NAME",
    "           ,@Fld_TABLE_TITLE                                            AS TABLE_TITLE",
    "           ,t1.ORDINAL_POSITION                                         AS ORDINAL_POSITION",
    "           ,t1.COLUMN_NAME                                              AS COLUMN_NAME",
    "           ,CONVERT(nvarchar(4000), ISNULL(t2.VALUE, ''))               AS COLUMN_TITLE",
    "           ,t1.DATA_TYPE + ",
    "               CASE",
    "                   WHEN CHARINDEX('char', t1.DATA_TYPE) > 0 AND t1.CHARACTER_MAXIMUM_LENGTH = "
    "-1 "
    "THEN '(max)'",
    "                   WHEN CHARINDEX('char', t1.DATA_TYPE) > 0 THEN '(' + convert(varchar, "
    "t1.CHARACTER_MAXIMUM_LENGTH) + ')'",
    "                   WHEN t1.DATA_TYPE = 'decimal'  THEN '(' + convert(varchar, "
    "t1.NUMERIC_PRECISION) + ',' + convert(varchar, t1.NUMERIC_SCALE) + ')'",
    "                   WHEN t1.DATA_TYPE = 'numeric'  THEN '(' + convert(varchar, "
    "t1.NUMERIC_PRECISION) + ',' + convert(varchar, t1.NUMERIC_SCALE) + ')'",
    "                   WHEN t1.DATA_TYPE IN ('binary', 'varbinary') AND "
    "t1.CHARACTER_MAXIMUM_LENGTH "
    "= -1 THEN '(max)'",
    "                   WHEN t1.DATA_TYPE IN ('binary', 'varbinary') THEN '(' + convert(varchar, "
    "t1.CHARACTER_MAXIMUM_LENGTH) + ')'",
    "                   WHEN t1.DATA_TYPE IN ('datetime2', 'time', 'datetimeoffset') AND "
    "t1.DATETIME_PRECISION <> 7 THEN '(' + convert(varchar, t1.DATETIME_PRECISION) + ')'",
    "                   WHEN t1.DATA_TYPE = 'float' AND t1.NUMERIC_PRECISION <> 53 THEN '(' + "
    "convert(varchar, t1.NUMERIC_PRECISION) + ')'",
    "                   ELSE ''",
    "               END                                                      AS DATA_TYPE",
    "           ,CASE t1.IS_NULLABLE WHEN 'No' THEN N'否' ELSE '' END        AS NULLABLE",
    "           ,CASE",
    "               WHEN COLUMNPROPERTY (OBJECT_ID(QUOTENAME(t1.TABLE_SCHEMA) + '.' + "
    "QUOTENAME(t1.TABLE_NAME)), t1.COLUMN_NAME, 'IsIdentity') = 1 THEN 'IDENTITY'",
    "               ELSE ISNULL(SUBSTRING(t1.COLUMN_DEFAULT, 2, len(t1.COLUMN_DEFAULT)-2), '')",
    "            END                                                         AS DEFAULT_VALUE",
    "           ,CONVERT(nvarchar(4000), ISNULL(t3.VALUE, ''))",
    "        FROM INFORMATION_SCHEMA.COLUMNS t1",
    "        LEFT JOIN ::fn_listextendedproperty(N'MS_Description', 'user', 'dbo', 'table',  "
    "@Fld_TABLE_NAME, 'column', null) t2 ON t2.OBJNAME = t1.COLUMN_NAME COLLATE Japanese_CI_AS",
    "        LEFT JOIN ::fn_listextendedproperty(N'comments',       'user', 'dbo', 'table',  "
    "@Fld_TABLE_NAME, 'column', null) t3 ON t3.OBJNAME = t1.COLUMN_NAME COLLATE Japanese_CI_AS",
    "        WHERE t1.TABLE_NAME = @Fld_TABLE_NAME",
    "        ORDER BY",
    "            t1.ORDINAL_POSITION",
    "    END",
    "",
    "    -- カーソルクローズ",
    "    CLOSE curTabs",
    "",
    "    -- カーソル破棄",
    "    DEALLOCATE curTabs",
    "",
    "    SELECT * FROM #temp_tab_info ORDER BY 1,3",
    "END",
};

constexpr const char* kIndexSort = "PRIMARY_KEY DESC, UNIQUE DESC, INDEX_NAME, ORDINAL_POSITION";

bool IsTrueField(data::Recordset& rs, std::string_view name) {
  Value v = rs.Field(name);
  if (v.kind() == Value::Kind::kBoolean) return v.boolean();
  if (v.kind() == Value::Kind::kNumber) return v.number() != 0;
  return vb::UCase(FieldText(rs, name)) == "TRUE";
}

// The filter literal: a quote inside the name is doubled so that it stays inside the literal.
std::string FilterLiteral(std::string_view text) {
  std::string out = "'";
  for (char c : text) {
    out += c;
    if (c == '\'') out += '\'';
  }
  return out + "'";
}

// A text as a cell keeps it: the host takes a leading apostrophe for the mark of a literal
// entry, so a default such as 'abc' would lose its first quote without a mark of its own.
std::string Literal(std::string text) {
  if (!text.empty() && text.front() == '\'') text.insert(0, 1, '\'');
  return text;
}

}  // namespace

std::string SqlTools::lfSchemaQuery() const {
  std::string text;
  for (std::size_t i = 0; i < std::size(kSchemaLines); ++i) {
    if (i > 0) text += "\r\n";
    text += kSchemaLines[i];
  }
  return text;
}

Engine::CatalogRow SqlTools::lfReadRow(data::Recordset& rs) {
  CatalogRow row;
  row.source = FieldText(rs, "TABLE_NAME");
  row.table = row.source;
  row.title = Literal(FieldText(rs, "TABLE_TITLE"));
  row.cells = {Literal(FieldText(rs, "COLUMN_NAME")),   Literal(FieldText(rs, "COLUMN_TITLE")),
               Literal(FieldText(rs, "DATA_TYPE")),     Literal(FieldText(rs, "NULLABLE")),
               Literal(FieldText(rs, "DEFAULT_VALUE")), Literal(FieldText(rs, "COLUMN_COMMENT"))};
  return row;
}

bool SqlTools::lfSameTable(std::string_view a, std::string_view b) const { return a == b; }

std::string_view SqlTools::lfEmptyHint() const { return "適切なログインを使用してください。"; }

void SqlTools::lfIndexImport(host::Workbook& /*wb*/, host::Worksheet& ws,
                             const std::string& table) {
  if (connection() == nullptr) throw Error::Runtime(RuntimeError::kObjectNotSet);
  std::unique_ptr<data::Recordset> rs = connection()->OpenSchema(data::kSchemaIndexes);
  rs->SetFilter("TABLE_NAME = " + FilterLiteral(table));
  rs->SetSort(kIndexSort);
  auto read = [](data::Recordset& r) {
    std::string type = IsTrueField(r, "PRIMARY_KEY") ? "P" : IsTrueField(r, "UNIQUE") ? "U" : "I";
    return IndexKeyRow{FieldText(r, "INDEX_NAME"), type, FieldText(r, "COLUMN_NAME"),
                       r.Field("ORDINAL_POSITION")};
  };
  WriteIndexes(context().defines, ws, *rs, read, {host::SearchOrder::kByColumns, true});
}

}  // namespace kastel::engines
