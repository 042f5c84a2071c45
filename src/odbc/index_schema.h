// The index schema rowset built from the driver's catalogue functions: SQLTables for the list
// of tables, then SQLStatistics and SQLPrimaryKeys for each. The number of round trips grows
// with the number of tables, once; callers keep the result and filter it in memory.
#ifndef KASTEL_ODBC_INDEX_SCHEMA_H_
#define KASTEL_ODBC_INDEX_SCHEMA_H_

#include <memory>

#include "odbc/memory_recordset.h"
#include "odbc/odbc_handle.h"

namespace kastel::odbc {

// One row per index column of every table on connection `dbc`: TABLE_CATALOG, TABLE_SCHEMA,
// TABLE_NAME, INDEX_NAME, PRIMARY_KEY, UNIQUE, ORDINAL_POSITION, COLUMN_NAME. The primary key
// is the index named like the key constraint or, when the driver names no constraint, the
// first unique index on the key's columns (in the index's order); a key no index serves (an
// SQLite rowid key) is listed under the constraint's name, else under "PK_" and the table.
std::shared_ptr<const RowTable> ReadIndexSchema(const OdbcHandle& dbc);

}  // namespace kastel::odbc

#endif  // KASTEL_ODBC_INDEX_SCHEMA_H_
