// What to tell a person whose connection failed, under the driver's own text: the drivers
// unixODBC knows when the one named is not installed, and a hint for the common failures
// (server out of reach, login refused, database unknown).
#ifndef KASTEL_ODBC_CONNECT_HINT_H_
#define KASTEL_ODBC_CONNECT_HINT_H_

#include <sql.h>

#include <string>
#include <vector>

namespace kastel::odbc {

// The names of the drivers the driver manager knows (SQLDrivers), in its order.
std::vector<std::string> InstalledDrivers(SQLHENV environment);

// The lines to add under the driver's text `diagnostic` of a failed connection whose first
// SQLSTATE is `state`, each starting with a line break; "" when there is nothing to add.
std::string ConnectHint(const std::string& diagnostic, const std::string& state,
                        const std::vector<std::string>& drivers);

}  // namespace kastel::odbc

#endif  // KASTEL_ODBC_CONNECT_HINT_H_
