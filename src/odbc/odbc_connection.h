// The data port's connection over unixODBC. The ADO connection string is routed to an ODBC
// one (connection_route.h) when Open runs; every result is fetched whole into a
// MemoryRecordset. The index schema rowset is read once per session and served from that copy
// until a statement runs that could change the catalogue.
#ifndef KASTEL_ODBC_ODBC_CONNECTION_H_
#define KASTEL_ODBC_ODBC_CONNECTION_H_

#include <memory>
#include <string>
#include <string_view>

#include "engines/data.h"
#include "odbc/connection_route.h"
#include "odbc/memory_recordset.h"
#include "odbc/odbc_handle.h"

namespace kastel::odbc {

class OdbcConnection : public data::Connection {
 public:
  // `env` supplies the driver names of the SQL Server and Oracle routes.
  explicit OdbcConnection(EnvLookup env = ProcessEnv);
  ~OdbcConnection() override;

  std::string ConnectionString() const override;
  void SetConnectionString(std::string_view text) override;
  void Open() override;
  void SetCursorLocation(int location) override;
  int State() const override;
  void Close() override;
  void ExecuteBatch(std::string_view sql) override;
  std::unique_ptr<data::Recordset> Execute(std::string_view sql) override;
  std::unique_ptr<data::Recordset> OpenSchema(int schema) override;

  // The number of times the index schema was read from the driver in this session.
  int SchemaReads() const { return schema_reads_; }

 private:
  void RequireOpen() const;
  // A statement on the open connection with `sql` executed on it.
  OdbcHandle Run(std::string_view sql);

  EnvLookup env_;
  std::string connection_string_;
  int cursor_location_ = data::kUseServer;
  OdbcHandle environment_;
  OdbcHandle dbc_;
  std::shared_ptr<const RowTable> index_schema_;
  int schema_reads_ = 0;
};

}  // namespace kastel::odbc

#endif  // KASTEL_ODBC_ODBC_CONNECTION_H_
