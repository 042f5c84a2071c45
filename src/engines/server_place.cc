#include "engines/server_place.h"

#include "model/defines.h"

namespace kastel::engines {

std::string ServerPart(std::string_view server, std::string_view database) {
  std::string part;
  if (!server.empty()) part = "サーバー " + std::string(server);
  if (!database.empty())
    part += (part.empty() ? "" : " ") + ("データベース " + std::string(database));
  return part;
}

std::string ServerPart(host::Workbook& wb) {
  using model::Defines;
  const std::string dialect = Defines::GetDocProperty(wb, "DB");
  std::string server = dialect == "ORA" ? "" : Defines::GetDocProperty(wb, "DATA_SOURCE");
  if (server.empty() && dialect == "SQL") server = "(local)";
  if (server.empty() && dialect == "PGS") server = "localhost";
  return ServerPart(server, Defines::GetDocProperty(wb, "DATABASE"));
}

}  // namespace kastel::engines
