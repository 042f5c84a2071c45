#include "dialect_rules.h"

#include <sstream>

#include "base/vb.h"

namespace kastel::check {
namespace {

std::unordered_set<std::string> ParseList(const char* text) {
  std::unordered_set<std::string> words;
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
  return reserved.contains(vb::UCase(identifier));
}

DialectRules RulesFor(std::string_view db, bool oracle_long_names) {
  if (db == "ORA") {
    return {"Oracle", oracle_long_names ? 128u : 30u, true, ParseList(kReservedOracle)};
  }
  if (db == "PGS") return {"PostgreSQL", 63, true, ParseList(kReservedPostgres)};
  return {"SQL Server", 128, false, ParseList(kReservedSqlServer)};
}

}  // namespace kastel::check
