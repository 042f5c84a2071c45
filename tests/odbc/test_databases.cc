#include "test_databases.h"

#include <sql.h>
#include <sqlext.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>
#include <stdexcept>

namespace kastel::testing {
namespace {

constexpr const char* kPgBin = "/usr/lib/postgresql/15/bin";
constexpr int kPort = 5432;  // the socket lives in a folder of its own, so no clash

bool ContainsIgnoringCase(std::string_view text, std::string_view part) {
  auto same = [](unsigned char a, unsigned char b) { return std::tolower(a) == std::tolower(b); };
  return std::search(text.begin(), text.end(), part.begin(), part.end(), same) != text.end();
}

std::string ReadFile(const std::filesystem::path& p) {
  std::ifstream in(p);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// Runs `command` through the shell with its output going to `log`; throws with the log's
// text when it fails.
void RunLogged(const std::string& command, const std::filesystem::path& log) {
  std::string full = command + " >" + log.string() + " 2>&1";
  if (std::system(full.c_str()) != 0) {
    throw std::runtime_error("command failed: " + command + "\n" + ReadFile(log));
  }
}

std::unique_ptr<PostgresServer>& SharedSlot() {
  static std::unique_ptr<PostgresServer> server;
  return server;
}

}  // namespace

std::string FindOdbcDriver(std::string_view part) {
  SQLHENV env = SQL_NULL_HENV;
  if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &env))) return "";
  SQLSetEnvAttr(env, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
  std::string found;
  SQLUSMALLINT direction = SQL_FETCH_FIRST;
  std::array<SQLCHAR, 256> name{}, attributes{};
  SQLSMALLINT name_length = 0, attributes_length = 0;
  while (found.empty() &&
         SQL_SUCCEEDED(SQLDrivers(env, direction, name.data(), name.size(), &name_length,
                                  attributes.data(), attributes.size(), &attributes_length))) {
    std::string driver(reinterpret_cast<const char*>(name.data()));
    if (ContainsIgnoringCase(driver, part)) found = driver;
    direction = SQL_FETCH_NEXT;
  }
  SQLFreeHandle(SQL_HANDLE_ENV, env);
  return found;
}

TempFolder::TempFolder() {
  std::string pattern = (std::filesystem::temp_directory_path() / "kastel-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

TempFolder::~TempFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

PostgresServer::PostgresServer() : data_(folder_.path() / "data") {
  std::string dir = folder_.path().string();
  std::string as_postgres = "cd " + dir + " && runuser -u postgres -- ";
  RunLogged("chown postgres " + dir, folder_.path() / "chown.log");
  WatchOverServer();
  RunLogged(as_postgres + kPgBin + "/initdb -D " + data_.string() +
                " -U postgres -E UTF8 --locale=C.UTF-8 -A trust",
            folder_.path() / "initdb.log");
  RunLogged(as_postgres + kPgBin + "/pg_ctl -D " + data_.string() + " -l " + dir +
                "/server.log -w -o \"-k " + dir + " -c listen_addresses='' -p " +
                std::to_string(kPort) + "\" start",
            folder_.path() / "start.log");
  running_ = true;
}

// A test that crashes never reaches the destructor. A small watcher stops the server and
// removes its folder once this process has gone; after a normal end it finds nothing to do.
void PostgresServer::WatchOverServer() const {
  std::string dir = folder_.path().string();
  std::string command =
      "(while kill -0 " + std::to_string(getpid()) + " 2>/dev/null; do sleep 1; done; if [ -d " +
      dir + " ]; then cd / && runuser -u postgres -- " + kPgBin + "/pg_ctl -D " + data_.string() +
      " -m immediate -w stop; rm -rf " + dir + "; fi) </dev/null >/dev/null 2>&1 &";
  [[maybe_unused]] int rc = std::system(command.c_str());
}

PostgresServer::~PostgresServer() { Stop(); }

void PostgresServer::Stop() noexcept {
  if (!running_) return;
  running_ = false;
  std::string command = "cd " + folder_.path().string() + " && runuser -u postgres -- " + kPgBin +
                        "/pg_ctl -D " + data_.string() + " -m immediate -w stop" +
                        " >/dev/null 2>&1";
  [[maybe_unused]] int rc = std::system(command.c_str());
}

std::string PostgresServer::OdbcConnectionString(std::string_view database) const {
  return "Driver={" + FindOdbcDriver("PostgreSQL Unicode") +
         "};Servername=" + folder_.path().string() + ";Port=" + std::to_string(kPort) +
         ";Database=" + std::string(database) + ";UID=postgres";
}

std::string PostgresServer::PsqlCommand(std::string_view args, std::string_view database) const {
  return "psql -X -q -h " + folder_.path().string() + " -p " + std::to_string(kPort) +
         " -U postgres -d " + std::string(database) + " " + std::string(args);
}

void PostgresServer::RunSql(std::string_view sql, std::string_view database) const {
  std::filesystem::path script = folder_.path() / "script.sql";
  std::ofstream(script) << sql;
  RunLogged(PsqlCommand("-v ON_ERROR_STOP=1 -f " + script.string(), database),
            folder_.path() / "psql.log");
}

int PostgresServer::Port() const { return kPort; }

void PostgresServer::RequirePassword(std::string_view role) const {
  const std::filesystem::path hba = data_ / "pg_hba.conf";
  std::stringstream rules;
  rules << "local all " << role << " scram-sha-256\n" << std::ifstream(hba).rdbuf();
  std::ofstream(hba) << rules.str();
  RunSql("SELECT pg_reload_conf();");
}

PostgresServer& SharedPostgres() {
  // A server that failed to start is not tried again for every test.
  static std::string failure;
  auto& slot = SharedSlot();
  if (!failure.empty()) throw std::runtime_error(failure);
  if (!slot) {
    try {
      slot = std::make_unique<PostgresServer>();
    } catch (const std::exception& e) {
      failure = e.what();
      throw;
    }
  }
  return *slot;
}

void StopSharedPostgres() { SharedSlot().reset(); }

}  // namespace kastel::testing
