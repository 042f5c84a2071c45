// The data port's object factory over unixODBC.
#ifndef KASTEL_ODBC_ODBC_PROVIDER_H_
#define KASTEL_ODBC_ODBC_PROVIDER_H_

#include <memory>
#include <string_view>
#include <utility>

#include "engines/data.h"
#include "odbc/connection_route.h"

namespace kastel::odbc {

class OdbcProvider : public data::Provider {
 public:
  // `env` supplies the driver names of the SQL Server and Oracle routes to every connection.
  explicit OdbcProvider(EnvLookup env = ProcessEnv) : env_(std::move(env)) {}

  std::unique_ptr<data::Connection> CreateConnection(std::string_view prog_id) override;

 private:
  EnvLookup env_;
};

}  // namespace kastel::odbc

#endif  // KASTEL_ODBC_ODBC_PROVIDER_H_
