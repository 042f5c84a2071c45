#include "odbc/odbc_connection.h"

#include <algorithm>
#include <iterator>
#include <utility>
#include <vector>

#include "odbc/ado_error.h"
#include "odbc/connect_hint.h"
#include "odbc/driver_library.h"
#include "odbc/index_schema.h"
#include "odbc/result_fetch.h"
#include "odbc/wide_text.h"

namespace kastel::odbc {
namespace {

constexpr int kLoginTimeoutSeconds = 15;

}  // namespace

OdbcConnection::OdbcConnection(EnvLookup env) : env_(std::move(env)) {}

OdbcConnection::~OdbcConnection() {
  if (dbc_) SQLDisconnect(dbc_.get());
}

std::string OdbcConnection::ConnectionString() const { return connection_string_; }

void OdbcConnection::SetConnectionString(std::string_view text) {
  if (dbc_) throw MakeAdoError(AdoError::kObjectOpen);
  connection_string_ = std::string(text);
}

void OdbcConnection::Open() {
  if (dbc_) throw MakeAdoError(AdoError::kObjectOpen);
  std::string odbc = RouteConnectionString(connection_string_, env_);
  OdbcHandle environment(SQL_HANDLE_ENV, SQL_NULL_HANDLE);
  Check(SQLSetEnvAttr(environment.get(), SQL_ATTR_ODBC_VERSION,
                      reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0),
        environment);
  OdbcHandle dbc(SQL_HANDLE_DBC, environment.get());
  // ADO's default connection timeout; a driver that cannot set one keeps its own.
  SQLSetConnectAttr(dbc.get(), SQL_ATTR_LOGIN_TIMEOUT,
                    reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(kLoginTimeoutSeconds)), 0);
  dbc.set_wide(DriverHasWideCalls(odbc));
  SQLRETURN rc;
  if (dbc.wide()) {
    WideText in = ToWide(odbc);
    SQLWCHAR out[1024];
    SQLSMALLINT out_length = 0;
    rc = SQLDriverConnectW(dbc.get(), nullptr, in.data(), static_cast<SQLSMALLINT>(in.size()), out,
                           static_cast<SQLSMALLINT>(std::size(out)), &out_length,
                           SQL_DRIVER_NOPROMPT);
    // The string held the password; keep no copy of it beyond what the caller set.
    std::fill(in.begin(), in.end(), 0);
    std::fill(std::begin(out), std::end(out), 0);
  } else {
    std::vector<SQLCHAR> in(odbc.begin(), odbc.end());
    in.push_back(0);
    SQLCHAR out[1024];
    SQLSMALLINT out_length = 0;
    rc = SQLDriverConnect(dbc.get(), nullptr, in.data(), static_cast<SQLSMALLINT>(odbc.size()), out,
                          sizeof out, &out_length, SQL_DRIVER_NOPROMPT);
    std::fill(in.begin(), in.end(), 0);
    std::fill(std::begin(out), std::end(out), 0);
  }
  std::fill(odbc.begin(), odbc.end(), 0);
  if (!SQL_SUCCEEDED(rc)) {
    const std::string text = DiagnosticText(SQL_HANDLE_DBC, dbc.get(), dbc.wide());
    // SQLSTATE is plain ASCII: the narrow call reads it whichever family the driver speaks.
    SQLCHAR state[6] = {};
    SQLINTEGER native = 0;
    SQLSMALLINT length = 0;
    SQLGetDiagRec(SQL_HANDLE_DBC, dbc.get(), 1, state, &native, nullptr, 0, &length);
    throw MakeDriverError(text + ConnectHint(text, reinterpret_cast<const char*>(state),
                                             InstalledDrivers(environment.get())));
  }
  environment_ = std::move(environment);
  dbc_ = std::move(dbc);
  index_schema_.reset();
}

void OdbcConnection::SetCursorLocation(int location) {
  if (location != data::kUseClient && location != data::kUseServer) {
    throw MakeAdoError(AdoError::kInvalidArgument);
  }
  cursor_location_ = location;
}

int OdbcConnection::State() const { return dbc_ ? data::kStateOpen : data::kStateClosed; }

void OdbcConnection::Close() {
  RequireOpen();
  SQLDisconnect(dbc_.get());
  dbc_.reset();
  environment_.reset();
  index_schema_.reset();
}

void OdbcConnection::ExecuteBatch(std::string_view sql) {
  OdbcHandle stmt = Run(sql);
  DrainResults(stmt);
}

std::unique_ptr<data::Recordset> OdbcConnection::Execute(std::string_view sql) {
  OdbcHandle stmt = Run(sql);
  std::shared_ptr<RowTable> rows =
      SkipToRowResult(stmt) ? FetchAll(stmt) : std::make_shared<RowTable>();
  return std::make_unique<MemoryRecordset>(std::move(rows));
}

std::unique_ptr<data::Recordset> OdbcConnection::OpenSchema(int schema) {
  RequireOpen();
  if (schema != data::kSchemaIndexes) throw MakeAdoError(AdoError::kNotSupported);
  if (!index_schema_) {
    index_schema_ = ReadIndexSchema(dbc_);
    ++schema_reads_;
  }
  return std::make_unique<MemoryRecordset>(index_schema_);
}

void OdbcConnection::RequireOpen() const {
  if (!dbc_) throw MakeAdoError(AdoError::kObjectClosed);
}

OdbcHandle OdbcConnection::Run(std::string_view sql) {
  RequireOpen();
  // Any statement may create, drop or alter an index.
  index_schema_.reset();
  OdbcHandle stmt(SQL_HANDLE_STMT, dbc_);
  SQLRETURN rc;
  if (stmt.wide()) {
    WideText text = ToWide(sql);
    rc = SQLExecDirectW(stmt.get(), text.data(), static_cast<SQLINTEGER>(text.size()));
  } else {
    std::vector<SQLCHAR> text(sql.begin(), sql.end());
    text.push_back(0);
    rc = SQLExecDirect(stmt.get(), text.data(), static_cast<SQLINTEGER>(sql.size()));
  }
  // SQL_NO_DATA: a searched UPDATE or DELETE that touched no row.
  if (rc != SQL_NO_DATA) Check(rc, stmt);
  return stmt;
}

}  // namespace kastel::odbc
