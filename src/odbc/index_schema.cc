#include "odbc/index_schema.h"

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "odbc/result_fetch.h"
#include "odbc/wide_text.h"

namespace kastel::odbc {
namespace {

struct TableRef {
  std::optional<std::string> catalog, schema;
  std::string name;
};

struct IndexInfo {
  std::string name;
  bool unique = false;
  std::vector<std::string> columns;  // in key order
};

struct PrimaryKey {
  std::optional<std::string> name;
  std::vector<std::string> columns;  // in key order
};

std::optional<std::string> TextOf(const Value& v) {
  if (v.kind() == Value::Kind::kText) return v.text();
  if (v.kind() == Value::Kind::kNumber) return std::to_string(static_cast<long long>(v.number()));
  return std::nullopt;
}

double NumberOf(const Value& v) {
  if (v.kind() == Value::Kind::kNumber) return v.number();
  if (v.kind() == Value::Kind::kBoolean) return v.boolean() ? 1 : 0;
  if (v.kind() == Value::Kind::kText) return std::atof(v.text().c_str());
  return 0;
}

// A text argument of a catalogue function in both call families: NULL for "any"/"none" and a
// length otherwise.
class CatalogueArg {
 public:
  explicit CatalogueArg(const std::optional<std::string>& s)
      : text_(s), wide_(s ? ToWide(*s) : WideText()) {}
  SQLCHAR* narrow() const {
    return text_ ? reinterpret_cast<SQLCHAR*>(const_cast<char*>(text_->c_str())) : nullptr;
  }
  SQLWCHAR* wide() const { return text_ ? const_cast<SQLWCHAR*>(wide_.c_str()) : nullptr; }
  SQLSMALLINT narrow_length() const { return text_ ? static_cast<SQLSMALLINT>(text_->size()) : 0; }
  SQLSMALLINT wide_length() const { return text_ ? static_cast<SQLSMALLINT>(wide_.size()) : 0; }

 private:
  const std::optional<std::string>& text_;
  WideText wide_;
};

// Runs a catalogue function given as its narrow and wide forms; `narrow` and `wide` each take
// the statement handle.
template <typename Narrow, typename Wide>
std::shared_ptr<RowTable> Catalogue(const OdbcHandle& dbc, Narrow narrow, Wide wide) {
  OdbcHandle stmt(SQL_HANDLE_STMT, dbc);
  Check(stmt.wide() ? wide(stmt.get()) : narrow(stmt.get()), stmt);
  return FetchAll(stmt);
}

std::vector<TableRef> ListTables(const OdbcHandle& dbc) {
  const std::optional<std::string> any_text = std::string("%"), type_text = std::string("TABLE");
  const CatalogueArg any(any_text), type(type_text);
  auto rows = Catalogue(
      dbc,
      [&](SQLHSTMT s) {
        return SQLTables(s, nullptr, 0, nullptr, 0, any.narrow(), any.narrow_length(),
                         type.narrow(), type.narrow_length());
      },
      [&](SQLHSTMT s) {
        return SQLTablesW(s, nullptr, 0, nullptr, 0, any.wide(), any.wide_length(), type.wide(),
                          type.wide_length());
      });
  std::vector<TableRef> tables;
  for (const auto& r : rows->rows) {
    if (r.size() < 3 || !TextOf(r[2])) continue;
    tables.push_back({TextOf(r[0]), TextOf(r[1]), *TextOf(r[2])});
  }
  return tables;
}

std::vector<IndexInfo> ListIndexes(const OdbcHandle& dbc, const TableRef& t) {
  const std::optional<std::string> name_text = t.name;
  const CatalogueArg catalog(t.catalog), schema(t.schema), name(name_text);
  auto rows = Catalogue(
      dbc,
      [&](SQLHSTMT s) {
        return SQLStatistics(s, catalog.narrow(), catalog.narrow_length(), schema.narrow(),
                             schema.narrow_length(), name.narrow(), name.narrow_length(),
                             SQL_INDEX_ALL, SQL_QUICK);
      },
      [&](SQLHSTMT s) {
        return SQLStatisticsW(s, catalog.wide(), catalog.wide_length(), schema.wide(),
                              schema.wide_length(), name.wide(), name.wide_length(), SQL_INDEX_ALL,
                              SQL_QUICK);
      });
  std::vector<IndexInfo> indexes;
  std::vector<std::pair<double, std::string>> keyed;  // (position, column) of the index met last
  auto flush = [&] {
    if (indexes.empty()) return;
    std::stable_sort(keyed.begin(), keyed.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (auto& k : keyed) indexes.back().columns.push_back(std::move(k.second));
    keyed.clear();
  };
  for (const auto& r : rows->rows) {
    if (r.size() < 9 || NumberOf(r[6]) == SQL_TABLE_STAT) continue;
    std::optional<std::string> index = TextOf(r[5]), column = TextOf(r[8]);
    if (!index || !column) continue;
    if (indexes.empty() || indexes.back().name != *index) {
      flush();
      indexes.push_back({*index, NumberOf(r[3]) == 0, {}});
    }
    keyed.emplace_back(NumberOf(r[7]), *column);
  }
  flush();
  return indexes;
}

PrimaryKey ReadPrimaryKey(const OdbcHandle& dbc, const TableRef& t) {
  const std::optional<std::string> name_text = t.name;
  const CatalogueArg catalog(t.catalog), schema(t.schema), name(name_text);
  auto rows = Catalogue(
      dbc,
      [&](SQLHSTMT s) {
        return SQLPrimaryKeys(s, catalog.narrow(), catalog.narrow_length(), schema.narrow(),
                              schema.narrow_length(), name.narrow(), name.narrow_length());
      },
      [&](SQLHSTMT s) {
        return SQLPrimaryKeysW(s, catalog.wide(), catalog.wide_length(), schema.wide(),
                               schema.wide_length(), name.wide(), name.wide_length());
      });
  std::vector<std::pair<double, std::string>> keyed;
  PrimaryKey key;
  for (const auto& r : rows->rows) {
    if (r.size() < 6 || !TextOf(r[3])) continue;
    keyed.emplace_back(NumberOf(r[4]), *TextOf(r[3]));
    if (!key.name) key.name = TextOf(r[5]);
  }
  std::stable_sort(keyed.begin(), keyed.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  for (auto& k : keyed) key.columns.push_back(std::move(k.second));
  return key;
}

bool SameColumnSet(std::vector<std::string> a, std::vector<std::string> b) {
  std::sort(a.begin(), a.end());
  std::sort(b.begin(), b.end());
  return a == b;
}

// The position in `indexes` of the index serving the key, or indexes.size(). Without a
// constraint name the columns are compared as a set: some drivers (sqlite3odbc) number the key
// columns in table order, while the index holds them in key order.
std::size_t FindKeyIndex(const std::vector<IndexInfo>& indexes, const PrimaryKey& key) {
  for (std::size_t i = 0; i < indexes.size(); ++i) {
    if (key.name && !key.name->empty()) {
      if (indexes[i].name == *key.name) return i;
    } else if (indexes[i].unique && SameColumnSet(indexes[i].columns, key.columns)) {
      return i;
    }
  }
  return indexes.size();
}

Value Optional(const std::optional<std::string>& s) { return s ? Value::Text(*s) : Value::Null(); }

void AppendRows(RowTable& out, const TableRef& t, const IndexInfo& index, bool primary) {
  for (std::size_t i = 0; i < index.columns.size(); ++i) {
    out.rows.push_back({Optional(t.catalog), Optional(t.schema), Value::Text(t.name),
                        Value::Text(index.name), Value::Boolean(primary),
                        Value::Boolean(index.unique || primary),
                        Value::Number(static_cast<double>(i + 1)), Value::Text(index.columns[i])});
  }
}

}  // namespace

std::shared_ptr<const RowTable> ReadIndexSchema(const OdbcHandle& dbc) {
  auto out = std::make_shared<RowTable>();
  out->columns = {"TABLE_CATALOG", "TABLE_SCHEMA", "TABLE_NAME",       "INDEX_NAME",
                  "PRIMARY_KEY",   "UNIQUE",       "ORDINAL_POSITION", "COLUMN_NAME"};
  for (const TableRef& t : ListTables(dbc)) {
    std::vector<IndexInfo> indexes = ListIndexes(dbc, t);
    PrimaryKey key = ReadPrimaryKey(dbc, t);
    std::size_t key_index = key.columns.empty() ? indexes.size() : FindKeyIndex(indexes, key);
    if (!key.columns.empty() && key_index == indexes.size()) {
      std::string name = key.name && !key.name->empty() ? *key.name : "PK_" + t.name;
      AppendRows(*out, t, {name, true, key.columns}, true);
    }
    for (std::size_t i = 0; i < indexes.size(); ++i)
      AppendRows(*out, t, indexes[i], i == key_index);
  }
  return out;
}

}  // namespace kastel::odbc
