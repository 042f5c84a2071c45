#include "odbc/connection_route.h"

#include <algorithm>
#include <initializer_list>

#include "odbc/ado_error.h"
#include "odbc/connection_string.h"

namespace kastel::odbc {
namespace {

enum class Route { kSqlServer, kOracle, kPostgres, kPassThrough };

bool KeyIn(std::string_view key, std::initializer_list<std::string_view> names) {
  for (std::string_view n : names) {
    if (SameKey(key, n)) return true;
  }
  return false;
}

// Provider names may carry a version suffix ("SQLOLEDB.1").
bool ProviderIs(std::string_view provider, std::string_view name) {
  return SameKey(provider.substr(0, name.size()), name) &&
         (provider.size() == name.size() || provider[name.size()] == '.');
}

Route PickRoute(const Attributes& attrs) {
  std::optional<std::string> provider = FindAttribute(attrs, "Provider");
  if (!provider || provider->empty() || ProviderIs(*provider, "MSDASQL")) {
    return Route::kPassThrough;
  }
  if (ProviderIs(*provider, "SQLOLEDB") || ProviderIs(*provider, "SQLNCLI") ||
      ProviderIs(*provider, "SQLNCLI10") || ProviderIs(*provider, "SQLNCLI11") ||
      ProviderIs(*provider, "MSOLEDBSQL")) {
    return Route::kSqlServer;
  }
  if (ProviderIs(*provider, "MSDAORA") || ProviderIs(*provider, "OraOLEDB")) {
    return Route::kOracle;
  }
  if (ProviderIs(*provider, "PostgreSQL")) return Route::kPostgres;
  throw MakeAdoError(AdoError::kProviderNotFound);
}

// "(local)" and its spellings name this machine; an instance name after "\" or a port after
// "," is kept ("(local),1433", ".\SQLEXPRESS").
std::string LocalServer(std::string_view server) {
  std::string_view host = server.substr(0, server.find_first_of("\\,"));
  std::string_view rest = server.substr(host.size());
  if (host.empty() || host == "." || SameKey(host, "(local)")) {
    return "localhost" + std::string(rest);
  }
  return std::string(server);
}

// An attribute a route takes for itself, under any of its names; the last one given wins.
struct Taken {
  std::initializer_list<std::string_view> names;
  std::optional<std::string>* value;
};

// Fills each of `taken` from `attrs`, drops what only the OLE DB provider reads, and returns
// the rest in order, for the driver.
Attributes Take(const Attributes& attrs, std::initializer_list<Taken> taken) {
  Attributes rest;
  for (const Attribute& a : attrs) {
    bool used = false;
    for (const Taken& t : taken) {
      if (KeyIn(a.key, t.names)) {
        *t.value = a.value;
        used = true;
        break;
      }
    }
    if (!used && !KeyIn(a.key, {"Provider", "Persist Security Info"})) rest.push_back(a);
  }
  return rest;
}

bool IsTrue(std::string_view v) {
  return SameKey(v, "SSPI") || SameKey(v, "true") || SameKey(v, "yes");
}

bool LooksLikeFreeTds(std::string_view driver) {
  for (std::size_t i = 0; i + 3 <= driver.size(); ++i) {
    if (SameKey(driver.substr(i, 3), "tds")) return true;
  }
  return false;
}

std::string SqlServerString(const Attributes& attrs, const EnvLookup& env) {
  std::string driver = env("KASTEL_ODBC_SQLSERVER").value_or("");
  if (driver.empty()) driver = "FreeTDS";
  Attributes out{{"Driver", driver}};
  std::optional<std::string> server, database, uid, pwd, trusted;
  const Attributes rest =
      Take(attrs, {{{"Data Source", "Server", "Address", "Addr", "Network Address"}, &server},
                   {{"Initial Catalog", "Database"}, &database},
                   {{"User ID", "UID"}, &uid},
                   {{"Password", "PWD"}, &pwd},
                   {{"Integrated Security", "Trusted_Connection"}, &trusted}});
  const bool client_charset = std::any_of(
      rest.begin(), rest.end(), [](const Attribute& a) { return SameKey(a.key, "ClientCharset"); });
  out.push_back({"Server", LocalServer(server.value_or(""))});
  if (database) out.push_back({"Database", *database});
  if (IsTrue(trusted.value_or(""))) {
    out.push_back({"Trusted_Connection", "Yes"});
  } else {
    if (uid) out.push_back({"UID", *uid});
    if (pwd) out.push_back({"PWD", *pwd});
  }
  // FreeTDS converts text to the client's character set; ask for the UTF-8 the program uses.
  if (LooksLikeFreeTds(driver) && !client_charset) out.push_back({"ClientCharset", "UTF-8"});
  out.insert(out.end(), rest.begin(), rest.end());
  return WriteOdbcConnectionString(out);
}

std::string OracleString(const Attributes& attrs, const EnvLookup& env) {
  std::string driver = env("KASTEL_ODBC_ORACLE").value_or("");
  if (driver.empty()) {
    throw MakeDriverError(
        "Oracle の ODBC ドライバー名が設定されていません。環境変数 KASTEL_ODBC_ORACLE に"
        "ドライバー名を設定してください。");
  }
  Attributes out{{"Driver", driver}};
  std::optional<std::string> dbq, uid, pwd;
  const Attributes rest = Take(
      attrs,
      {{{"Data Source", "DBQ"}, &dbq}, {{"User ID", "UID"}, &uid}, {{"Password", "PWD"}, &pwd}});
  if (dbq) out.push_back({"DBQ", *dbq});
  if (uid) out.push_back({"UID", *uid});
  if (pwd) out.push_back({"PWD", *pwd});
  out.insert(out.end(), rest.begin(), rest.end());
  return WriteOdbcConnectionString(out);
}

// "host" or "host,port", as SQL Server names a server with its port; the host may be the
// folder of the server's Unix socket.
std::string PostgresString(const Attributes& attrs, const EnvLookup& env) {
  std::string driver = env("KASTEL_ODBC_POSTGRES").value_or("");
  if (driver.empty()) driver = "PostgreSQL Unicode";
  Attributes out{{"Driver", driver}};
  std::optional<std::string> named_server, database, uid, pwd;
  const Attributes rest = Take(attrs, {{{"Data Source", "Server", "Servername"}, &named_server},
                                       {{"Initial Catalog", "Database"}, &database},
                                       {{"User ID", "UID"}, &uid},
                                       {{"Password", "PWD"}, &pwd}});
  std::string server = named_server.value_or("");
  std::string port;
  if (std::size_t comma = server.rfind(','); comma != std::string::npos) {
    port = server.substr(comma + 1);
    server.erase(comma);
  }
  out.push_back({"Servername", LocalServer(server)});
  if (!port.empty()) out.push_back({"Port", port});
  if (database) out.push_back({"Database", *database});
  if (uid) out.push_back({"UID", *uid});
  if (pwd) out.push_back({"PWD", *pwd});
  out.insert(out.end(), rest.begin(), rest.end());
  return WriteOdbcConnectionString(out);
}

std::string PassThroughString(const Attributes& attrs) {
  Attributes out;
  std::string extended;
  for (const Attribute& a : attrs) {
    if (SameKey(a.key, "Extended Properties")) {
      extended = a.value;  // already in ODBC syntax
    } else if (!SameKey(a.key, "Provider")) {
      out.push_back(a);
    }
  }
  std::string text = WriteOdbcConnectionString(out);
  if (!extended.empty()) text += (text.empty() ? "" : ";") + extended;
  return text;
}

}  // namespace

std::string RouteConnectionString(std::string_view ado, const EnvLookup& env) {
  Attributes attrs = ParseConnectionString(ado);
  switch (PickRoute(attrs)) {
    case Route::kSqlServer:
      return SqlServerString(attrs, env);
    case Route::kOracle:
      return OracleString(attrs, env);
    case Route::kPostgres:
      return PostgresString(attrs, env);
    case Route::kPassThrough:
      break;
  }
  return PassThroughString(attrs);
}

}  // namespace kastel::odbc
