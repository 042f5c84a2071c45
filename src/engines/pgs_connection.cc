// The PostgreSQL engine's connection: its login dialog, the connection parameters kept in the
// workbook by the same rules as the other engines', and the connection string of its route.
#include <exception>
#include <string>

#include "engines/connection_text.h"
#include "engines/pgs_tools.h"
#include "engines/server_place.h"
#include "login/pgs_login.h"
#include "model/defines.h"

namespace kastel::engines {

std::string PostgresConnectionString(std::string_view server, std::string_view database,
                                     std::string_view user, std::string_view password) {
  return "Provider=PostgreSQL;Data Source=" + AdoValue(server) +
         ";Initial Catalog=" + AdoValue(database) + ";User ID=" + AdoValue(user) +
         ";Password=" + AdoValue(password);
}

bool PgsTools::lfDbOpen(host::Workbook& wb) {
  using model::Defines;
  try {
    std::string server = Defines::GetDocProperty(wb, "DATA_SOURCE");
    std::string user = Defines::GetDocProperty(wb, "USER_ID");
    std::string password = Defines::GetDocProperty(wb, "PASSWORD");
    std::string database = Defines::GetDocProperty(wb, "DATABASE");
    std::string schema = Defines::GetDocProperty(wb, "SCHEMA");
    bool save_pwd = PropertyIsTrue(Defines::GetDocProperty(wb, "SAVE_PWD"));

    if (context().login_view == nullptr) return false;
    {
      login::PgsLogin dialog(*context().login_view);
      if (!dialog.ShowModal(server, user, password, database, schema, save_pwd)) return false;
    }
    // Stored before connecting, so that a failed attempt is retried from them.
    Defines::SetDocProperty(wb, "DATA_SOURCE", server);
    Defines::SetDocProperty(wb, "USER_ID", user);
    Defines::SetDocProperty(wb, "PASSWORD", save_pwd ? password : "");
    Defines::SetDocProperty(wb, "DATABASE", database);
    Defines::SetDocProperty(wb, "SCHEMA", schema);
    Defines::SetDocProperty(wb, "SAVE_PWD", save_pwd ? "True" : "False");

    schema_ = schema.empty() ? "public" : schema;
    if (server.empty()) server = "localhost";
    model::Where::Scope at(context().defines.where(),
                           ServerPart(server, database) + " " + std::string(kStepConnect));
    OpenConnection(PostgresConnectionString(server, database, user, password));
    return true;
  } catch (...) {
    context().defines.ErrMsgCurrent("lfDbOpen");
  }
  return false;
}

}  // namespace kastel::engines
