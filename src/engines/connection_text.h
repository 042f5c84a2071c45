// The ADO connection strings of the two engines, and the quoting that lets any value reach the
// driver intact.
#ifndef KASTEL_ENGINES_CONNECTION_TEXT_H_
#define KASTEL_ENGINES_CONNECTION_TEXT_H_

#include <string>
#include <string_view>

namespace kastel::engines {

// `value` as an ADO connection-string value: unchanged unless it holds ";", "=", a quote, or
// begins or ends with a blank or begins with "{"; then enclosed in "..." with every '"' doubled.
std::string AdoValue(std::string_view value);

// "Provider=SQLOLEDB;Data Source=<server>;" followed by "Integrated Security=SSPI;Initial
// Catalog=<database>" for Windows authentication, else "Persist Security Info=True;Password=
// <password>;User ID=<user>;Initial Catalog=<database>".
std::string SqlServerConnectionString(std::string_view server, bool integrated_security,
                                      std::string_view user, std::string_view password,
                                      std::string_view database);

// "Provider=MSDAORA;Data Source=<database>;User ID=<user>;Password=<password>;".
std::string OracleConnectionString(std::string_view database, std::string_view user,
                                   std::string_view password);

// "Provider=PostgreSQL;Data Source=<host[,port]>;Initial Catalog=<database>;User ID=<user>;
// Password=<password>" (pgs_connection.cc).
std::string PostgresConnectionString(std::string_view server, std::string_view database,
                                     std::string_view user, std::string_view password);

// True when the property text reads as true: "TRUE" in any letter case.
bool PropertyIsTrue(std::string_view text);

}  // namespace kastel::engines

#endif  // KASTEL_ENGINES_CONNECTION_TEXT_H_
