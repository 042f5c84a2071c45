// Real databases for the adapter's tests: a PostgreSQL server started for the test run in a
// folder of its own, and SQLite files, both reached through their ODBC drivers.
#ifndef KASTEL_TESTS_ODBC_TEST_DATABASES_H_
#define KASTEL_TESTS_ODBC_TEST_DATABASES_H_

#include <filesystem>
#include <string>
#include <string_view>

namespace kastel::testing {

// The name of the installed ODBC driver whose name holds `part` (ignoring case), or "" when
// none does. Asks the driver manager, so it follows the machine's odbcinst.ini.
std::string FindOdbcDriver(std::string_view part);

// A folder removed with everything in it when the object goes. (The shared ScratchDir needs
// GoogleTest, which the benchmarks that share this file go without.)
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

// A PostgreSQL server of its own, listening only on a Unix socket in its folder; initdb and
// pg_ctl run as the postgres user. Stopped and removed when the object goes.
class PostgresServer {
 public:
  // Starts the server; throws std::runtime_error with the tools' output when it cannot.
  PostgresServer();
  ~PostgresServer();
  PostgresServer(const PostgresServer&) = delete;
  PostgresServer& operator=(const PostgresServer&) = delete;

  // "Driver={...};Servername=<socket folder>;Port=...;Database=...;UID=postgres".
  std::string OdbcConnectionString(std::string_view database = "postgres") const;
  // A shell command running psql on `database` of the server with `args` appended.
  std::string PsqlCommand(std::string_view args, std::string_view database = "postgres") const;
  // Runs `sql` through psql on `database`; throws std::runtime_error when psql fails.
  void RunSql(std::string_view sql, std::string_view database = "postgres") const;
  // The socket folder, which the driver takes as the server's host name, and the port.
  std::string SocketFolder() const { return folder_.path().string(); }
  int Port() const;
  // Makes `role` give its password (scram-sha-256); every other role stays trusted.
  void RequirePassword(std::string_view role) const;

 private:
  void Stop() noexcept;
  void WatchOverServer() const;

  TempFolder folder_;
  std::filesystem::path data_;
  bool running_ = false;
};

// A server shared by every test of the process, started at the first call. Throws when it
// cannot start, so that a test using it fails with the reason.
PostgresServer& SharedPostgres();

// Stops the shared server if it was started.
void StopSharedPostgres();

}  // namespace kastel::testing

#endif  // KASTEL_TESTS_ODBC_TEST_DATABASES_H_
