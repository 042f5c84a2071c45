#include "dialect_rules.h"

#include <sstream>

#include "base/vb.h"

namespace kastel::check {
namespace {

WordSet ParseList(const char* text) {
  WordSet words;
  std::istringstream lines(text);
  std::string line;
  while (std::getline(lines, line)) {
    if (line.starts_with('#')) continue;
    std::istringstream in(line);
    std::string word;
    while (in >> word) words.insert(word);
  }
  return words;
}

}  // namespace

std::size_t DialectRules::Length(std::string_view identifier) const {
  if (counts_bytes) return identifier.size();
  std::size_t chars = 0;
  for (char c : identifier) chars += (static_cast<unsigned char>(c) & 0xC0) != 0x80 ? 1 : 0;
  return chars;
}

bool DialectRules::IsReserved(std::string_view identifier) const {
  // Every name of a sheet is looked up: a short one is upper-cased on the stack. The words are
  // ASCII, and upper-casing leaves any other character outside ASCII, so such a name is none.
  char upper[64];
  if (identifier.size() > sizeof upper) return reserved.contains(vb::UCase(identifier));
  for (std::size_t i = 0; i < identifier.size(); ++i) {
    const char c = identifier[i];
    if (static_cast<unsigned char>(c) >= 0x80) return false;
    upper[i] = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
  }
  return reserved.contains(std::string_view(upper, identifier.size()));
}

DialectRules RulesFor(std::string_view db, bool oracle_long_names) {
  if (db == "ORA") {
    return {"Oracle", oracle_long_names ? 128u : 30u, true, ParseList(kReservedOracle)};
  }
  if (db == "PGS") return {"PostgreSQL", 63, true, ParseList(kReservedPostgres)};
  return {"SQL Server", 128, false, ParseList(kReservedSqlServer)};
}

}  // namespace kastel::check
