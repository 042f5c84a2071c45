#include "odbc/connection_route.h"

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
  std::string server;
  Attributes out{{"Driver", driver}};
  Attributes rest;
  bool trusted = false, client_charset = false;
  std::optional<std::string> uid, pwd, database;
  for (const Attribute& a : attrs) {
    if (KeyIn(a.key, {"Data Source", "Server", "Address", "Addr", "Network Address"})) {
      server = a.value;
    } else if (KeyIn(a.key, {"Initial Catalog", "Database"})) {
      database = a.value;
    } else if (KeyIn(a.key, {"User ID", "UID"})) {
      uid = a.value;
    } else if (KeyIn(a.key, {"Password", "PWD"})) {
      pwd = a.value;
    } else if (KeyIn(a.key, {"Integrated Security", "Trusted_Connection"})) {
      trusted = IsTrue(a.value);
    } else if (!KeyIn(a.key, {"Provider", "Persist Security Info"})) {
      client_charset = client_charset || SameKey(a.key, "ClientCharset");
      rest.push_back(a);
    }
  }
  out.push_back({"Server", LocalServer(server)});
  if (database) out.push_back({"Database", *database});
  if (trusted) {
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
  Attributes rest;
  std::optional<std::string> dbq, uid, pwd;
  for (const Attribute& a : attrs) {
    if (KeyIn(a.key, {"Data Source", "DBQ"})) {
      dbq = a.value;
    } else if (KeyIn(a.key, {"User ID", "UID"})) {
      uid = a.value;
    } else if (KeyIn(a.key, {"Password", "PWD"})) {
      pwd = a.value;
    } else if (!KeyIn(a.key, {"Provider", "Persist Security Info"})) {
      rest.push_back(a);
    }
  }
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
  Attributes rest;
  std::string server;
  std::optional<std::string> database, uid, pwd;
  for (const Attribute& a : attrs) {
    if (KeyIn(a.key, {"Data Source", "Server", "Servername"})) {
      server = a.value;
    } else if (KeyIn(a.key, {"Initial Catalog", "Database"})) {
      database = a.value;
    } else if (KeyIn(a.key, {"User ID", "UID"})) {
      uid = a.value;
    } else if (KeyIn(a.key, {"Password", "PWD"})) {
      pwd = a.value;
    } else if (!KeyIn(a.key, {"Provider", "Persist Security Info"})) {
      rest.push_back(a);
    }
  }
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
