// Connection strings in the two syntaxes the adapter meets: the ADO/OLE DB form the engines
// build (values may be quoted with "..." or '...', a quote doubled inside) and the ODBC form the
// driver manager reads (values that need it are enclosed in {...}, a "}" doubled inside). The
// parser reads both quotings, so a string this file writes reads back to the same values.
#ifndef KASTEL_ODBC_CONNECTION_STRING_H_
#define KASTEL_ODBC_CONNECTION_STRING_H_

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kastel::odbc {

struct Attribute {
  std::string key;
  std::string value;
  bool operator==(const Attribute&) const = default;
};
using Attributes = std::vector<Attribute>;

// Splits "key=value;key=value" into its attributes, in order. Keys and unquoted values lose
// the blanks around them; "==" inside a key stands for "="; empty segments are skipped.
// Fails (kDriverError) on a key without "=", an empty key, an unterminated quote or brace, or
// text after a closing quote.
Attributes ParseConnectionString(std::string_view text);

// The value of the last attribute whose key equals `key` ignoring ASCII case.
std::optional<std::string> FindAttribute(const Attributes& attributes, std::string_view key);

// True when the two keys are equal ignoring ASCII case.
bool SameKey(std::string_view a, std::string_view b);

// `value` as an ODBC attribute value: enclosed in braces, with "}" doubled, when it holds
// ; { } =, begins with a quote or has blanks at either end; unchanged otherwise.
std::string QuoteOdbcValue(std::string_view value);

// The attributes as an ODBC connection string, "key=value" joined by ";".
std::string WriteOdbcConnectionString(const Attributes& attributes);

}  // namespace kastel::odbc

#endif  // KASTEL_ODBC_CONNECTION_STRING_H_
