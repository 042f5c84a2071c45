#include "odbc/result_fetch.h"

#include <charconv>
#include <cstdint>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "odbc/wide_text.h"

namespace kastel::odbc {
namespace {

enum class ColumnKind { kText, kNumber, kBoolean, kDate, kTime };

struct ColumnInfo {
  std::string name;
  ColumnKind kind;
};

ColumnKind KindOf(SQLSMALLINT type) {
  switch (type) {
    case SQL_TINYINT:
    case SQL_SMALLINT:
    case SQL_INTEGER:
    case SQL_BIGINT:
    case SQL_REAL:
    case SQL_FLOAT:
    case SQL_DOUBLE:
    case SQL_DECIMAL:
    case SQL_NUMERIC:
      return ColumnKind::kNumber;
    case SQL_BIT:
      return ColumnKind::kBoolean;
    case SQL_TYPE_DATE:
    case SQL_TYPE_TIMESTAMP:
    case SQL_DATE:
    case SQL_TIMESTAMP:
      return ColumnKind::kDate;
    case SQL_TYPE_TIME:
    case SQL_TIME:
      return ColumnKind::kTime;
    default:
      return ColumnKind::kText;
  }
}

// A result column's name as UTF-8, read by `describe` into a buffer that grows to fit.
template <typename Char, typename Describe>
std::string ColumnName(Describe describe) {
  std::vector<Char> name(256);
  SQLSMALLINT length = 0;
  describe(name.data(), static_cast<SQLSMALLINT>(name.size()), &length);
  if (length >= static_cast<SQLSMALLINT>(name.size())) {
    name.resize(static_cast<std::size_t>(length) + 1);
    describe(name.data(), static_cast<SQLSMALLINT>(name.size()), &length);
  }
  if constexpr (sizeof(Char) == 1) {
    return std::string(reinterpret_cast<const char*>(name.data()),
                       static_cast<std::size_t>(length));
  } else {
    return ToUtf8(name.data(), static_cast<std::size_t>(length));
  }
}

std::vector<ColumnInfo> DescribeColumns(const OdbcHandle& stmt) {
  SQLSMALLINT count = 0;
  Check(SQLNumResultCols(stmt.get(), &count), stmt);
  std::vector<ColumnInfo> columns;
  for (SQLUSMALLINT i = 1; i <= static_cast<SQLUSMALLINT>(count); ++i) {
    SQLSMALLINT type = 0, digits = 0, nullable = 0;
    SQLULEN size = 0;
    std::string name;
    if (stmt.wide()) {
      name = ColumnName<SQLWCHAR>([&](SQLWCHAR* n, SQLSMALLINT capacity, SQLSMALLINT* length) {
        Check(SQLDescribeColW(stmt.get(), i, n, capacity, length, &type, &size, &digits, &nullable),
              stmt);
      });
    } else {
      name = ColumnName<SQLCHAR>([&](SQLCHAR* n, SQLSMALLINT capacity, SQLSMALLINT* length) {
        Check(SQLDescribeCol(stmt.get(), i, n, capacity, length, &type, &size, &digits, &nullable),
              stmt);
      });
    }
    columns.push_back({std::move(name), KindOf(type)});
  }
  return columns;
}

// The column's data as text, or nothing for NULL; long data arrives in pieces, each ended by
// a terminator that the reported length leaves out.
template <typename Char>
std::optional<std::basic_string<Char>> GetPieces(const OdbcHandle& stmt, SQLUSMALLINT column,
                                                 SQLSMALLINT c_type) {
  std::basic_string<Char> out;
  Char buffer[4096 / sizeof(Char)];
  constexpr auto kBytes = static_cast<SQLLEN>(sizeof buffer);
  for (;;) {
    SQLLEN indicator = 0;
    SQLRETURN rc = SQLGetData(stmt.get(), column, c_type, buffer, kBytes, &indicator);
    if (rc == SQL_NO_DATA) break;
    Check(rc, stmt);
    if (indicator == SQL_NULL_DATA) return std::nullopt;
    const bool whole = indicator != SQL_NO_TOTAL && indicator < kBytes;
    // A driver may end a piece early rather than split a character; the terminator says where.
    std::size_t n = 0;
    if (whole) {
      n = static_cast<std::size_t>(indicator) / sizeof(Char);
    } else {
      while (n + 1 < std::size(buffer) && buffer[n] != 0) ++n;
    }
    out.append(buffer, n);
    if (rc == SQL_SUCCESS) break;
  }
  return out;
}

// `digits`: the column holds a number or a bit, whose text is ASCII in either call family, so
// it skips the round trip through UTF-16.
std::optional<std::string> GetText(const OdbcHandle& stmt, SQLUSMALLINT column, bool digits) {
  if (stmt.wide() && !digits) {
    // Pieces may end between the two halves of a surrogate pair: convert the whole.
    auto wide = GetPieces<SQLWCHAR>(stmt, column, SQL_C_WCHAR);
    if (!wide) return std::nullopt;
    return ToUtf8(*wide);
  }
  auto narrow = GetPieces<char>(stmt, column, SQL_C_CHAR);
  if (!narrow) return std::nullopt;
  return std::move(*narrow);
}

// Days from 1899-12-30 to the given civil date (proleptic Gregorian).
double SerialDay(int y, unsigned m, unsigned d) {
  y -= m <= 2 ? 1 : 0;
  const int era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  const long days_since_1970 = static_cast<long>(era) * 146097 + static_cast<long>(doe) - 719468;
  return static_cast<double>(days_since_1970 + 25569);
}

double DayFraction(unsigned h, unsigned mi, unsigned s, SQLUINTEGER nanos) {
  return (h * 3600.0 + mi * 60.0 + s + nanos / 1e9) / 86400.0;
}

Value GetValue(const OdbcHandle& stmt, SQLUSMALLINT column, ColumnKind kind) {
  if (kind == ColumnKind::kDate || kind == ColumnKind::kTime) {
    SQL_TIMESTAMP_STRUCT ts{};
    SQL_TIME_STRUCT t{};
    SQLLEN indicator = 0;
    bool date = kind == ColumnKind::kDate;
    Check(SQLGetData(stmt.get(), column, date ? SQL_C_TYPE_TIMESTAMP : SQL_C_TYPE_TIME,
                     date ? static_cast<SQLPOINTER>(&ts) : static_cast<SQLPOINTER>(&t), 0,
                     &indicator),
          stmt);
    if (indicator == SQL_NULL_DATA) return Value::Null();
    if (!date) return Value::Date(DayFraction(t.hour, t.minute, t.second, 0));
    return Value::Date(SerialDay(ts.year, ts.month, ts.day) +
                       DayFraction(ts.hour, ts.minute, ts.second, ts.fraction));
  }
  std::optional<std::string> text =
      GetText(stmt, column, kind == ColumnKind::kNumber || kind == ColumnKind::kBoolean);
  if (!text) return Value::Null();
  if (kind == ColumnKind::kBoolean) return Value::Boolean(*text != "0" && *text != "f");
  if (kind == ColumnKind::kNumber) {
    double n = 0;
    const char* begin = text->data();
    if (!text->empty() && *begin == '+') ++begin;
    auto [end, ec] = std::from_chars(begin, text->data() + text->size(), n);
    if (ec == std::errc() && end == text->data() + text->size()) return Value::Number(n);
  }
  return Value::Text(std::move(*text));
}

}  // namespace

std::shared_ptr<RowTable> FetchAll(const OdbcHandle& stmt) {
  auto table = std::make_shared<RowTable>();
  std::vector<ColumnInfo> columns = DescribeColumns(stmt);
  if (columns.empty()) return table;
  for (const ColumnInfo& c : columns) table->columns.push_back(c.name);
  for (;;) {
    SQLRETURN rc = SQLFetch(stmt.get());
    if (rc == SQL_NO_DATA) break;
    Check(rc, stmt);
    std::vector<Value> row;
    row.reserve(columns.size());
    for (std::size_t i = 0; i < columns.size(); ++i) {
      row.push_back(GetValue(stmt, static_cast<SQLUSMALLINT>(i + 1), columns[i].kind));
    }
    table->rows.push_back(std::move(row));
  }
  return table;
}

bool SkipToRowResult(const OdbcHandle& stmt) {
  for (;;) {
    SQLSMALLINT count = 0;
    Check(SQLNumResultCols(stmt.get(), &count), stmt);
    if (count > 0) return true;
    SQLRETURN rc = SQLMoreResults(stmt.get());
    if (rc == SQL_NO_DATA) return false;
    Check(rc, stmt);
  }
}

void DrainResults(const OdbcHandle& stmt) {
  for (;;) {
    SQLRETURN rc = SQLMoreResults(stmt.get());
    if (rc == SQL_NO_DATA) return;
    Check(rc, stmt);
  }
}

}  // namespace kastel::odbc
