// Turns the ADO connection string the engines build into the ODBC connection string of the
// driver that stands in for the named OLE DB provider:
//   Provider=SQLOLEDB  -> Driver={$KASTEL_ODBC_SQLSERVER, default FreeTDS};Server;Database;
//                         UID;PWD, or Trusted_Connection=Yes for Windows authentication
//   Provider=MSDAORA   -> Driver={$KASTEL_ODBC_ORACLE};DBQ;UID;PWD
//   Provider=PostgreSQL -> Driver={$KASTEL_ODBC_POSTGRES, default PostgreSQL Unicode};
//                         Servername;Port (from "host,port");Database;UID;PWD
//   Provider=MSDASQL   -> the other attributes unchanged (also when Provider is absent, as ADO
//                         defaults to MSDASQL)
// "(local)", "." and an empty server mean this machine.
//
// Windows authentication has no SSPI on Linux. It becomes Trusted_Connection=Yes, which
// FreeTDS and Microsoft's driver both serve with Kerberos (a ticket from kinit); without one
// the driver refuses and its message is shown. No user name or password is sent then.
#ifndef KASTEL_ODBC_CONNECTION_ROUTE_H_
#define KASTEL_ODBC_CONNECTION_ROUTE_H_

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "base/process_env.h"

namespace kastel::odbc {

// Looks up an environment variable; nothing when it is not set.
using EnvLookup = std::function<std::optional<std::string>(std::string_view)>;

// The ODBC connection string for `ado`. Fails with 3706 for a provider that has no route,
// with kDriverError when the Oracle driver is not named or the string cannot be read.
std::string RouteConnectionString(std::string_view ado, const EnvLookup& env);

}  // namespace kastel::odbc

#endif  // KASTEL_ODBC_CONNECTION_ROUTE_H_
