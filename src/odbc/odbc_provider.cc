#include "odbc/odbc_provider.h"

#include "odbc/ado_error.h"
#include "odbc/connection_string.h"
#include "odbc/odbc_connection.h"

namespace kastel::odbc {

std::unique_ptr<data::Connection> OdbcProvider::CreateConnection(std::string_view prog_id) {
  // ProgIDs are not case-sensitive; "ADODB.Connection.6" names a version of the same class.
  std::string_view base = data::kConnectionProgId;
  bool versioned = prog_id.size() > base.size() && prog_id[base.size()] == '.';
  if (!SameKey(prog_id.substr(0, base.size()), base) ||
      (prog_id.size() != base.size() && !versioned)) {
    throw MakeAdoError(AdoError::kCannotCreate);
  }
  return std::make_unique<OdbcConnection>(env_);
}

}  // namespace kastel::odbc
