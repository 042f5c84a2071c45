// The server names that mean this machine, with a port or an instance after them.
#include <gtest/gtest.h>

#include <string>

#include "odbc/connection_route.h"

namespace kastel::odbc {
namespace {

TEST(LocalServerTest, ThisMachineKeepsItsPortOrInstance) {
  const struct {
    const char* data_source;
    const char* server;
  } cases[] = {
      {"(local),1433", "localhost,1433"},
      {".\\SQLEXPRESS", "localhost\\SQLEXPRESS"},
      {"(Local)\\inst,1433", "localhost\\inst,1433"},
      // Another machine, or a name that only begins like the local one, stays as it is.
      {"db1,1433", "db1,1433"},
      {"(local)db\\inst", "(local)db\\inst"},
  };
  for (const auto& c : cases) {
    const std::string odbc = RouteConnectionString(
        std::string("Provider=SQLOLEDB;Data Source=") + c.data_source + ";User ID=sa",
        [](std::string_view) { return std::string("SQL Server driver"); });
    EXPECT_EQ(odbc, std::string("Driver=SQL Server driver;Server=") + c.server + ";UID=sa")
        << c.data_source;
  }
}

}  // namespace
}  // namespace kastel::odbc
