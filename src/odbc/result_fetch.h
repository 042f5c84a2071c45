// Reading the results of an executed ODBC statement into memory.
#ifndef KASTEL_ODBC_RESULT_FETCH_H_
#define KASTEL_ODBC_RESULT_FETCH_H_

#include <memory>

#include "odbc/memory_recordset.h"
#include "odbc/odbc_handle.h"

namespace kastel::odbc {

// Every row of the statement's current result set, each column converted by its SQL type:
// numeric types to Number, SQL_BIT to Boolean, date, time and timestamp types to Date, every
// other type to its text; NULL to Null. A statement without a result set gives no columns.
std::shared_ptr<RowTable> FetchAll(const OdbcHandle& stmt);

// Moves the statement to its first result that has columns, skipping row counts; false when
// there is none.
bool SkipToRowResult(const OdbcHandle& stmt);

// Discards the rest of the current result and every further result of the statement, so that
// every statement of a batch has run; fails with the error of the first statement that failed.
void DrainResults(const OdbcHandle& stmt);

}  // namespace kastel::odbc

#endif  // KASTEL_ODBC_RESULT_FETCH_H_
