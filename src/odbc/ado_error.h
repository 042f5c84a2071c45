// The failures of the data objects themselves (as opposed to the driver's), numbered as ADO
// numbers them so that a handler sees the same number whichever adapter runs.
#ifndef KASTEL_ODBC_ADO_ERROR_H_
#define KASTEL_ODBC_ADO_ERROR_H_

#include <string>

#include "base/error.h"

namespace kastel::odbc {

enum class AdoError : long {
  kCannotCreate = 429,       // the ProgID names no object this provider makes
  kInvalidArgument = 3001,   // a value out of range or a filter/sort that cannot be read
  kNoCurrentRecord = 3021,   // a field read or MoveNext past the last row
  kNotSupported = 3251,      // a schema rowset the adapter does not provide
  kItemNotFound = 3265,      // a field name the recordset does not have
  kObjectClosed = 3704,      // an operation on a closed object
  kObjectOpen = 3705,        // an operation an open object refuses
  kProviderNotFound = 3706,  // a Provider keyword this adapter cannot route
};

// The error with ADO's number and its Japanese description.
Error MakeAdoError(AdoError code);

// A failure the driver reported, carrying the driver's message.
Error MakeDriverError(std::string message);

}  // namespace kastel::odbc

#endif  // KASTEL_ODBC_ADO_ERROR_H_
