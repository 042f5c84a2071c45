#include "engines/connection_text.h"

#include "base/vb.h"

namespace kastel::engines {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

}  // namespace

std::string AdoValue(std::string_view value) {
  bool quote = value.find_first_of(";=\"'") != std::string_view::npos;
  quote = quote || (!value.empty() &&
                    (IsBlank(value.front()) || IsBlank(value.back()) || value.front() == '{'));
  if (!quote) return std::string(value);
  std::string out = "\"";
  for (char c : value) {
    out += c;
    if (c == '"') out += '"';
  }
  out += '"';
  return out;
}

std::string SqlServerConnectionString(std::string_view server, bool integrated_security,
                                      std::string_view user, std::string_view password,
                                      std::string_view database) {
  std::string text = "Provider=SQLOLEDB;Data Source=" + AdoValue(server);
  if (integrated_security) {
    text += ";Integrated Security=SSPI;Initial Catalog=" + AdoValue(database);
  } else {
    text += ";Persist Security Info=True;Password=" + AdoValue(password) +
            ";User ID=" + AdoValue(user) + ";Initial Catalog=" + AdoValue(database);
  }
  return text;
}

std::string OracleConnectionString(std::string_view database, std::string_view user,
                                   std::string_view password) {
  return "Provider=MSDAORA;Data Source=" + AdoValue(database) + ";User ID=" + AdoValue(user) +
         ";Password=" + AdoValue(password) + ";";
}

bool PropertyIsTrue(std::string_view text) { return vb::UCase(text) == "TRUE"; }

}  // namespace kastel::engines
