// The data port: the database access the engines rely on, shaped like the ADO objects they were
// written against. A Connection is created closed from a ProgID, takes an ADO-style connection
// string (Provider=...;key=value;...), opens, runs batches and queries, and hands out the index
// schema rowset. A Recordset is client-side: every row is fetched before it is handed over, so
// Filter, Sort, EOF, MoveNext and field access work in memory and the connection may run other
// statements meanwhile. The ODBC adapter lives in src/odbc; a replaying adapter can stand in for
// servers that cannot run where the tests run.
//
// Contracts every adapter keeps:
// - Every failure is a kastel::Error. A failure the database or its driver reports carries
//   number kDriverError and the driver's own message text as its description; misuse of the
//   objects (an operation on a closed object, a field read past the last row, an unknown field
//   name, a filter or sort the adapter cannot read) carries the ADO number of that misuse and a
//   Japanese description.
// - Text is UTF-8 in both directions.
// - Values are kastel::Value: NULL is Value::Null(), numeric columns give Value::Number, bit
//   columns Value::Boolean, date and time columns Value::Date, everything else Value::Text.
#ifndef KASTEL_ENGINES_DATA_H_
#define KASTEL_ENGINES_DATA_H_

#include <memory>
#include <string>
#include <string_view>

#include "base/value.h"

namespace kastel::data {

// Connection states as ADO numbers them; callers test only for kOpen.
inline constexpr int kStateClosed = 0;
inline constexpr int kStateOpen = 1;

// Cursor locations; the engines set kUseClient right after Open.
inline constexpr int kUseServer = 2;
inline constexpr int kUseClient = 3;

// The schema rowset of indexes, one row per index column.
inline constexpr int kSchemaIndexes = 12;

// The ProgID that names a connection object.
inline constexpr std::string_view kConnectionProgId = "ADODB.Connection";

// The rows of one result, held in memory, with a current row.
class Recordset {
 public:
  virtual ~Recordset() = default;

  // True when the current position is past the last row of the current view; true at once
  // for an empty result or a view the filter left empty.
  virtual bool Eof() const = 0;

  // The value of the named field in the current row. Field names are compared ignoring ASCII
  // letter case. REQUIRES: !Eof(); fails with 3021 otherwise, with 3265 for an unknown name.
  virtual Value Field(std::string_view name) const = 0;

  // Moves to the next row of the view. REQUIRES: !Eof() (fails with 3021).
  virtual void MoveNext() = 0;

  // Restricts the view to rows matching `criteria`: comparisons "FIELD op literal" joined by
  // AND, op one of = <> < > <= >=, a literal in single quotes (a quote inside doubled) or a
  // number. Text compares exactly, case included. "" removes the filter. The current row
  // becomes the first row of the new view.
  virtual void SetFilter(std::string_view criteria) = 0;

  // Orders the view by "FIELD [ASC|DESC], ..."; rows equal on every key keep their order.
  // Nulls come first in ascending order, false before true; texts compare by code point with
  // ASCII letters ignoring case. "" restores the fetched order. The
  // current row becomes the first row of the new view.
  virtual void SetSort(std::string_view keys) = 0;

  // Closes the recordset; every later operation but Close fails with 3704.
  virtual void Close() = 0;
};

// A database session.
class Connection {
 public:
  virtual ~Connection() = default;

  // The connection string Open will use. Setting it on an open connection fails with 3705.
  virtual std::string ConnectionString() const = 0;
  virtual void SetConnectionString(std::string_view text) = 0;

  // Connects. Fails with the driver's message when the driver refuses, with 3705 when the
  // connection is already open.
  virtual void Open() = 0;

  // kUseClient or kUseServer; results are client-side either way. Other values fail with 3001.
  virtual void SetCursorLocation(int location) = 0;

  // kStateOpen or kStateClosed.
  virtual int State() const = 0;

  // Disconnects. REQUIRES: State() == kStateOpen (fails with 3704 otherwise).
  virtual void Close() = 0;

  // Runs a batch of one or more statements and discards every result it produces, so that
  // each statement of the batch has run when this returns. Objects the batch creates for the
  // session (temporary tables) stay visible to later statements on this connection.
  virtual void ExecuteBatch(std::string_view sql) = 0;

  // Runs a query and returns the rows of its first result, positioned on the first row.
  virtual std::unique_ptr<Recordset> Execute(std::string_view sql) = 0;

  // The schema rowset `schema`. Only kSchemaIndexes is supported (others fail with 3251): the
  // indexes of every table of the database with the fields TABLE_CATALOG, TABLE_SCHEMA,
  // TABLE_NAME, INDEX_NAME, PRIMARY_KEY (boolean), UNIQUE (boolean), ORDINAL_POSITION (the
  // column's 1-based position in the index key) and COLUMN_NAME.
  virtual std::unique_ptr<Recordset> OpenSchema(int schema) = 0;
};

// Creates data objects by ProgID, as CreateObject does.
class Provider {
 public:
  virtual ~Provider() = default;

  // A new, closed connection for kConnectionProgId; any other ProgID fails with 429.
  virtual std::unique_ptr<Connection> CreateConnection(std::string_view prog_id) = 0;
};

}  // namespace kastel::data

#endif  // KASTEL_ENGINES_DATA_H_
