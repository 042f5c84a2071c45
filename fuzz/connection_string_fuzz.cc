// The connection-string parser, the ODBC writer and the provider routes on arbitrary text.
// Properties: parsing either succeeds or raises kastel::Error; values written out read back
// unchanged; a parsed string written out and parsed again gives the same attributes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "base/error.h"
#include "odbc/connection_route.h"
#include "odbc/connection_string.h"

namespace {

using kastel::odbc::Attributes;

void Require(bool condition) {
  if (!condition) std::abort();
}

// Values cut from the input at NUL bytes, under fixed keys.
void WrittenValuesReadBack(std::string_view text) {
  Attributes attrs;
  std::size_t start = 0;
  for (int i = 0; start <= text.size() && i < 16; ++i) {
    std::size_t end = text.find('\0', start);
    if (end == std::string_view::npos) end = text.size();
    attrs.push_back({"K" + std::to_string(i), std::string(text.substr(start, end - start))});
    start = end + 1;
  }
  Require(kastel::odbc::ParseConnectionString(kastel::odbc::WriteOdbcConnectionString(attrs)) ==
          attrs);
}

void ParsedStringsSurviveRewriting(std::string_view text) {
  Attributes parsed;
  try {
    parsed = kastel::odbc::ParseConnectionString(text);
  } catch (const kastel::Error&) {
    return;
  }
  for (const auto& a : parsed) {
    // A key holding "=" came from "=="; the ODBC syntax cannot hold it.
    if (a.key.find('=') != std::string::npos || a.key.empty()) return;
  }
  Require(kastel::odbc::ParseConnectionString(kastel::odbc::WriteOdbcConnectionString(parsed)) ==
          parsed);
}

void RoutesFailOnlyWithErrors(std::string_view text) {
  auto env = [](std::string_view name) -> std::optional<std::string> {
    if (name == "KASTEL_ODBC_ORACLE") return "Oracle";
    return std::nullopt;
  };
  try {
    std::string odbc = kastel::odbc::RouteConnectionString(text, env);
    kastel::odbc::ParseConnectionString(odbc);  // what the route writes must read back
  } catch (const kastel::Error& e) {
    Require(!e.description().empty());
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  WrittenValuesReadBack(text);
  ParsedStringsSurviveRewriting(text);
  RoutesFailOnlyWithErrors(text);
  return 0;
}
