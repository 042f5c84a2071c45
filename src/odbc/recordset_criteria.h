// The small expression languages of a recordset's Filter and Sort properties, and the order of
// values they share.
#ifndef KASTEL_ODBC_RECORDSET_CRITERIA_H_
#define KASTEL_ODBC_RECORDSET_CRITERIA_H_

#include <string>
#include <string_view>
#include <vector>

#include "base/value.h"

namespace kastel::odbc {

enum class CompareOp { kEqual, kNotEqual, kLess, kGreater, kLessEqual, kGreaterEqual };

// One "FIELD op literal" of a filter. A literal is Text ('...'), Number or Null (NULL).
struct Comparison {
  std::string field;
  CompareOp op = CompareOp::kEqual;
  Value literal;
};

// "FIELD op literal [AND FIELD op literal ...]"; a field name may stand in [brackets]. Fails
// with 3001 on anything else. "" gives no comparisons.
std::vector<Comparison> ParseFilter(std::string_view criteria);

// True when `value` satisfies `op literal`. Text literals compare exactly with the field's
// text form; a Null literal matches only nulls with "=" and only non-nulls with "<>"; a null
// field satisfies nothing else.
bool Satisfies(const Value& value, CompareOp op, const Value& literal);

struct SortKey {
  std::string field;
  bool descending = false;
};

// "FIELD [ASC|DESC], ..."; fails with 3001 on anything else. "" gives no keys.
std::vector<SortKey> ParseSort(std::string_view keys);

// The ascending order of the sort: nulls and empties first, then booleans (false before true),
// numbers, dates and texts (by code point, ASCII letters ignoring case); -1, 0 or 1.
int CompareForSort(const Value& a, const Value& b);

}  // namespace kastel::odbc

#endif  // KASTEL_ODBC_RECORDSET_CRITERIA_H_
