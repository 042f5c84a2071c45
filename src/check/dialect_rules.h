// What a database dialect allows in a name: the longest identifier and the reserved words.
#ifndef KASTEL_CHECK_DIALECT_RULES_H_
#define KASTEL_CHECK_DIALECT_RULES_H_

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_set>

namespace kastel::check {

// The reserved-word lists as their data files hold them ("#" lines are comments).
extern const char* const kReservedSqlServer;
extern const char* const kReservedOracle;
extern const char* const kReservedPostgres;

// Looks words up by view, without building a string for each.
struct WordHash {
  using is_transparent = void;
  std::size_t operator()(std::string_view word) const {
    return std::hash<std::string_view>{}(word);
  }
};
using WordSet = std::unordered_set<std::string, WordHash, std::equal_to<>>;

struct DialectRules {
  std::string name;            // as shown in findings: "SQL Server", "Oracle", "PostgreSQL"
  std::size_t max_identifier;  // the longest name the database accepts
  bool counts_bytes;           // the limit is in UTF-8 bytes rather than characters
  WordSet reserved;            // upper case; looked up for every name

  // The length of `identifier` as the limit counts it.
  std::size_t Length(std::string_view identifier) const;
  // True when `identifier`, ignoring case, is a reserved word.
  bool IsReserved(std::string_view identifier) const;
};

// The rules for the document property "DB": "ORA" Oracle (30 bytes, or 128 with
// `oracle_long_names` as from release 12.2), "PGS" PostgreSQL (63 bytes), anything else
// SQL Server (128 characters).
DialectRules RulesFor(std::string_view db, bool oracle_long_names);

}  // namespace kastel::check

#endif  // KASTEL_CHECK_DIALECT_RULES_H_
