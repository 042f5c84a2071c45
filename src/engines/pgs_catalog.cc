// The PostgreSQL catalogue: the query over one schema's tables and columns, and the texts of
// format_type and pg_get_expr turned back into what a definition sheet holds.
#include <cstddef>
#include <iterator>
#include <string>

#include "engines/index_import.h"
#include "engines/pgs_texts.h"
#include "engines/pgs_tools.h"
#include "engines/script_text.h"

namespace kastel::engines {
namespace {

bool StartsWith(std::string_view text, std::string_view part) {
  return text.substr(0, part.size()) == part;
}

// "-1", "1.5", ".5", "1e20": a number as a default may stand without quotes.
bool IsNumber(std::string_view s) {
  std::size_t i = 0;
  if (i < s.size() && (s[i] == '-' || s[i] == '+')) ++i;
  std::size_t digits = 0;
  for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) ++digits;
  if (i < s.size() && s[i] == '.') {
    for (++i; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) ++digits;
  }
  if (digits == 0) return false;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    ++i;
    if (i < s.size() && (s[i] == '-' || s[i] == '+')) ++i;
    std::size_t exponent = 0;
    for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) ++exponent;
    if (exponent == 0) return false;
  }
  return i == s.size();
}

bool IsNumericType(std::string_view type) {
  for (std::string_view t :
       {"smallint", "integer", "bigint", "numeric", "real", "double precision"}) {
    if (StartsWith(type, t) && (type.size() == t.size() || type[t.size()] == '(')) return true;
  }
  return false;
}

// Only a type name may follow the cast: nothing that could continue an expression.
bool IsTypeName(std::string_view type) {
  if (type.empty()) return false;
  for (char c : type) {
    const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                       static_cast<unsigned char>(c) >= 0x80;
    if (!plain && std::string_view(" _(),\"[].").find(c) == std::string_view::npos) return false;
  }
  return true;
}

// `expression` without the parentheses the server puts around a whole expression: "(a * 2)" ->
// "a * 2", but "(a + 1) * (a + 2)" stays.
std::string_view Unwrapped(std::string_view expression) {
  if (expression.size() < 2 || expression.front() != '(' || expression.back() != ')') {
    return expression;
  }
  int depth = 0;
  bool quoted = false;
  for (std::size_t i = 0; i < expression.size(); ++i) {
    const char c = expression[i];
    if (c == '\'') quoted = !quoted;
    if (quoted) continue;
    depth += c == '(' ? 1 : c == ')' ? -1 : 0;
    if (depth == 0) return i + 1 == expression.size() ? expression.substr(1, i - 1) : expression;
  }
  return expression;
}

// A text as a cell keeps it: the host takes a leading apostrophe for the mark of a literal
// entry, so a default such as 'abc' would lose its first quote without a mark of its own.
std::string CellText(std::string text) {
  if (!text.empty() && text.front() == '\'') text.insert(0, 1, '\'');
  return text;
}

}  // namespace

std::string PgsTools::lfSchemaQuery() const {
  return JoinLines({
      "SELECT",
      "   c.relname                                AS TABLE_NAME",
      "  ,obj_description(c.oid, 'pg_class')       AS TABLE_COMMENT",
      "  ,a.attname                                AS COLUMN_NAME",
      "  ,col_description(c.oid, a.attnum)         AS COLUMN_COMMENT",
      "  ,format_type(a.atttypid, a.atttypmod)     AS DATA_TYPE",
      "  ,CASE WHEN a.attnotnull THEN 1 ELSE 0 END AS NOT_NULL",
      "  ,pg_get_expr(d.adbin, d.adrelid)          AS DEFAULT_VALUE",
      "  ,a.attidentity::text                      AS IDENTITY_KIND",
      "  ,a.attgenerated::text                     AS GENERATED_KIND",
      "FROM pg_catalog.pg_class c",
      "  JOIN pg_catalog.pg_namespace n ON (n.oid = c.relnamespace)",
      "  LEFT JOIN pg_catalog.pg_attribute a ON (a.attrelid = c.oid AND a.attnum > 0 AND NOT "
      "a.attisdropped)",
      "  LEFT JOIN pg_catalog.pg_attrdef d ON (d.adrelid = c.oid AND d.adnum = a.attnum)",
      "WHERE c.relkind IN ('r', 'p') AND NOT c.relispartition",
      "  AND n.nspname = '" + QuoteDoubled(schema_) + "'",
      "ORDER BY",
      "   c.relname COLLATE \"C\"",
      "  ,a.attnum",
  });
}

std::string PgsTools::lfIndexQuery(std::string_view schema, std::string_view table) {
  return JoinLines({
      "SELECT",
      "   i.relname                                AS INDEX_NAME",
      "  ,CASE WHEN x.indisprimary THEN 'P' WHEN x.indisunique THEN 'U' ELSE 'I' END"
      " AS CONSTRAINT_TYPE",
      "  ,CASE WHEN x.indexprs IS NULL AND x.indpred IS NULL THEN 0 ELSE 1 END AS SKIPPED",
      "  ,k.n                                      AS KEY_POSITION",
      "  ,a.attname                                AS COLUMN_NAME",
      "FROM pg_catalog.pg_index x",
      "  JOIN pg_catalog.pg_class i ON (i.oid = x.indexrelid)",
      "  JOIN pg_catalog.pg_class t ON (t.oid = x.indrelid)",
      "  JOIN pg_catalog.pg_namespace n ON (n.oid = t.relnamespace)",
      "  CROSS JOIN LATERAL unnest(x.indkey::int2[]) WITH ORDINALITY AS k(attnum, n)",
      "  LEFT JOIN pg_catalog.pg_attribute a ON (a.attrelid = x.indrelid AND a.attnum = "
      "k.attnum)",
      "WHERE n.nspname = '" + QuoteDoubled(schema) + "' AND t.relname = '" + QuoteDoubled(table) +
          "'",
      "  AND k.n <= x.indnkeyatts",
      "ORDER BY",
      "   x.indexrelid",
      "  ,k.n",
  });
}

std::string PgsTools::lfCatalogType(std::string_view type) {
  std::string_view array;
  if (std::size_t bracket = type.find('['); bracket != std::string_view::npos) {
    array = type.substr(bracket);
    type = type.substr(0, bracket);
  }
  std::string out(type);
  const std::pair<std::string_view, std::string_view> kRenamed[] = {
      {"character varying", "varchar"}, {"character", "char"}, {"bit varying", "varbit"}};
  bool renamed = false;
  for (const auto& [long_name, short_name] : kRenamed) {
    if (!renamed && StartsWith(type, long_name) &&
        (type.size() == long_name.size() || type[long_name.size()] == '(')) {
      out = std::string(short_name) + std::string(type.substr(long_name.size()));
      renamed = true;
    }
  }
  for (std::string_view base : {"timestamp", "time"}) {
    if (renamed || !StartsWith(type, base)) continue;
    std::string_view rest = type.substr(base.size());
    std::string_view precision;
    if (StartsWith(rest, "(")) {
      precision = rest.substr(0, rest.find(')') + 1);
      rest.remove_prefix(precision.size());
    }
    if (rest == " with time zone") {
      out = std::string(base) + "tz" + std::string(precision);
      renamed = true;
    } else if (rest == " without time zone") {
      out = std::string(base) + std::string(precision);
      renamed = true;
    }
  }
  return out + std::string(array);
}

std::string PgsTools::lfCatalogDefault(std::string_view expression) {
  if (!StartsWith(expression, "'")) return std::string(expression);
  std::size_t end = 1;  // just past the literal's closing quote
  for (;; ++end) {
    if (end >= expression.size()) return std::string(expression);
    if (expression[end] != '\'') continue;
    if (end + 1 < expression.size() && expression[end + 1] == '\'') {
      ++end;
      continue;
    }
    ++end;
    break;
  }
  const std::string_view literal = expression.substr(0, end);
  const std::string_view rest = expression.substr(end);
  if (!StartsWith(rest, "::") || !IsTypeName(rest.substr(2))) return std::string(expression);
  const std::string_view inner = literal.substr(1, literal.size() - 2);
  if (IsNumericType(rest.substr(2)) && IsNumber(inner)) return std::string(inner);
  return std::string(literal);
}

Engine::CatalogRow PgsTools::lfReadRow(data::Recordset& rs) {
  CatalogRow row;
  row.source = FieldText(rs, "TABLE_NAME");
  row.table = row.source;
  // The table's comment is its title alone; only a column's carries a remark as well.
  row.title = CellText(FieldText(rs, "TABLE_COMMENT"));
  auto [title, remark] = pgs::SplitComment(FieldText(rs, "COLUMN_COMMENT"));
  std::string value = FieldText(rs, "DEFAULT_VALUE");
  const std::string identity = FieldText(rs, "IDENTITY_KIND");
  if (identity == "d") {
    value = "IDENTITY";
  } else if (identity == "a") {
    value = "GENERATED ALWAYS AS IDENTITY";
  } else if (FieldText(rs, "GENERATED_KIND") == "s") {
    value = "GENERATED ALWAYS AS (" + std::string(Unwrapped(value)) + ") STORED";
  } else {
    value = lfCatalogDefault(value);
  }
  row.cells = {CellText(FieldText(rs, "COLUMN_NAME")),
               CellText(title),
               lfCatalogType(FieldText(rs, "DATA_TYPE")),
               FieldText(rs, "NOT_NULL") == "1" ? "否" : "",
               CellText(value),
               CellText(remark)};
  return row;
}

bool PgsTools::lfSameTable(std::string_view a, std::string_view b) const { return a == b; }

std::string_view PgsTools::lfEmptyHint() const {
  return "適切なデータベースとスキーマを指定してください。";
}

}  // namespace kastel::engines
