// The Oracle dictionary: the query over the connected user's tables and columns, the comments
// that carry titles as "name|title|comment", and the index query.
#include <cstddef>
#include <iterator>
#include <memory>
#include <string>

#include "base/error.h"
#include "base/vb.h"
#include "engines/index_import.h"
#include "engines/ora_tools.h"
#include "engines/script_text.h"
#include "model/defines.h"

namespace kastel::engines {
namespace {

// The catalogue query. A type text is one that recreates the column: NUMBER with its precision
// and scale ("*" for a precision left open, so INTEGER and the other integer names, which the
// dictionary keeps as NUMBER with scale 0 alone, come back as NUMBER(*,0), the one spelling
// that says exactly what is stored), FLOAT with its binary precision, the types declared with a
// length with it, and every other type by its dictionary name, which carries its own
// precisions (TIMESTAMP(0), INTERVAL DAY(2) TO SECOND(6)) or takes none (DATE, CLOB). The
// rendering tests nulls itself rather than lean on Oracle's concatenation passing them over.
constexpr const char* kSchemaLines[] = {
    "SELECT",
    "   t1.TABLE_NAME                      AS TABLE_NAME",
    "  ,t2.COMMENTS                        AS TABLE_COMMENT",
    "  ,t3.COLUMN_NAME                     AS COLUMN_NAME",
    "  ,t4.COMMENTS                        AS COLUMN_COMMENT",
    "  ,CASE",
    "       WHEN t3.DATA_TYPE = 'NUMBER' AND t3.DATA_PRECISION IS NULL AND t3.DATA_SCALE IS NULL "
    "THEN 'NUMBER'",
    "       WHEN t3.DATA_TYPE = 'NUMBER' AND t3.DATA_PRECISION IS NULL THEN 'NUMBER(*,' || "
    "TO_CHAR(t3.DATA_SCALE) || ')'",
    "       WHEN t3.DATA_TYPE = 'NUMBER' AND t3.DATA_SCALE = 0 THEN 'NUMBER(' || "
    "TO_CHAR(t3.DATA_PRECISION) || ')'",
    "       WHEN t3.DATA_TYPE = 'NUMBER' THEN 'NUMBER(' || TO_CHAR(t3.DATA_PRECISION) || ',' || "
    "TO_CHAR(t3.DATA_SCALE) || ')'",
    "       WHEN t3.DATA_TYPE = 'FLOAT' THEN 'FLOAT(' || TO_CHAR(t3.DATA_PRECISION) || ')'",
    "       WHEN t3.DATA_TYPE IN ('CHAR', 'VARCHAR2', 'NCHAR', 'NVARCHAR2', 'RAW', 'UROWID') THEN "
    "t3.DATA_TYPE || '(' || TO_CHAR(t3.DATA_LENGTH) || ')'",
    "       ELSE t3.DATA_TYPE",
    "   END                                AS DATA_TYPE",
    "  ,t3.DATA_LENGTH",
    "  ,DECODE(t3.NULLABLE,'N','否','')    AS NULLABLE",
    "  ,t3.DATA_DEFAULT                    AS DEFAULT_VALUE",
    "  ,t3.COLUMN_ID",
    "  ,t3.DATA_PRECISION",
    "  ,t3.DATA_SCALE",
    "  ,t3.DATA_LENGTH",
    "  ,t3.DATA_TYPE                       AS DATA_TYPE2",
    "FROM USER_TABLES                  t1",
    "   LEFT JOIN USER_TAB_COMMENTS    t2 ON (t2.TABLE_NAME = t1.TABLE_NAME)",
    "   LEFT JOIN USER_TAB_COLUMNS     t3 ON (t3.TABLE_NAME = t1.TABLE_NAME)",
    "   LEFT JOIN USER_COL_COMMENTS    t4 ON (t4.TABLE_NAME = t3.TABLE_NAME AND t4.COLUMN_NAME = "
    "t3.COLUMN_NAME)",
    "ORDER BY",
    "   t1.TABLE_NAME",
    "  ,t3.COLUMN_ID",
};

// Every occurrence of `what` in `text` removed.
std::string RemoveAll(std::string text, std::string_view what) {
  for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at)) {
    text.erase(at, what.size());
  }
  return text;
}

std::string RTrimSpaces(std::string text) {
  while (!text.empty() && text.back() == ' ') text.pop_back();
  return text;
}

}  // namespace

std::string OraTools::lfSchemaQuery() const {
  std::string text;
  for (std::size_t i = 0; i < std::size(kSchemaLines); ++i) {
    if (i > 0) text += '\n';
    text += kSchemaLines[i];
  }
  return text;
}

std::array<std::string, 3> OraTools::lfSplitComment(std::string_view name,
                                                    std::string_view comment) {
  std::array<std::string, 3> fields;
  if (comment.empty()) {
    fields[0] = std::string(name);
  } else if (comment.find('|') == std::string_view::npos) {
    fields[0] = std::string(name);
    fields[2] = std::string(comment);
  } else {
    std::size_t start = 0;
    for (std::size_t k = 0; k < fields.size(); ++k) {
      std::size_t bar = comment.find('|', start);
      fields[k] = std::string(comment.substr(start, bar - start));
      if (bar == std::string_view::npos) break;
      start = bar + 1;
    }
  }
  return fields;
}

std::string OraTools::lfIndexQuery(std::string_view table) {
  // The name stands between quotes three times; a quote inside it is doubled there.
  const std::string name = QuoteDoubled(table);
  const std::string upper = QuoteDoubled(vb::UCase(table));
  return JoinLines({
      "SELECT",
      "   NVL(t2.CONSTRAINT_TYPE, 'I')     AS CONSTRAINT_TYPE",
      "  ,REPLACE(t1.INDEX_NAME, '" + upper + "', '" + name + "')     AS INDEX_NAME",
      "  ,t1.COLUMN_POSITION",
      "  ,t1.COLUMN_NAME",
      "FROM USER_IND_COLUMNS     t1",
      "LEFT JOIN USER_CONSTRAINTS    t2 ON (t2.TABLE_NAME = t1.TABLE_NAME AND "
      "t2.CONSTRAINT_NAME = t1.INDEX_NAME)",
      "WHERE t1.TABLE_NAME = UPPER('" + name + "')",
      "ORDER BY",
      "   t2.CONSTRAINT_TYPE",
      "  ,t1.INDEX_NAME",
      "  ,t1.COLUMN_POSITION",
  });
}

Engine::CatalogRow OraTools::lfReadRow(data::Recordset& rs) {
  CatalogRow row;
  row.source = FieldText(rs, "TABLE_NAME");
  std::array<std::string, 3> table = lfSplitComment(row.source, FieldText(rs, "TABLE_COMMENT"));
  row.table = table[0];
  row.title = table[1];
  std::array<std::string, 3> column =
      lfSplitComment(FieldText(rs, "COLUMN_NAME"), FieldText(rs, "COLUMN_COMMENT"));
  row.cells = {column[0],
               column[1],
               RemoveAll(FieldText(rs, "DATA_TYPE"), "(,)"),
               FieldText(rs, "NULLABLE"),
               "'" + RTrimSpaces(FieldText(rs, "DEFAULT_VALUE")),
               "'" + column[2]};
  return row;
}

bool OraTools::lfSameTable(std::string_view a, std::string_view b) const {
  return vb::UCase(a) == vb::UCase(b);
}

std::string_view OraTools::lfEmptyHint() const { return "適切なユーザ名を使用してください。"; }

void OraTools::lfIndexImport(host::Workbook& /*wb*/, host::Worksheet& ws,
                             const std::string& table) {
  std::unique_ptr<data::Recordset> rs = lfSelect(lfIndexQuery(table));
  // lfSelect has shown why; the import ends here as a missing object would end it.
  if (!rs) throw Error::Runtime(RuntimeError::kObjectNotSet);
  auto read = [](data::Recordset& r) {
    return IndexKeyRow{FieldText(r, "INDEX_NAME"), FieldText(r, "CONSTRAINT_TYPE"),
                       FieldText(r, "COLUMN_NAME"), r.Field("COLUMN_POSITION")};
  };
  WriteIndexes(context().defines, ws, *rs, read, {host::SearchOrder::kByRows, false});
}

}  // namespace kastel::engines
