#include "odbc/connection_string.h"

#include <cstddef>

#include "odbc/ado_error.h"

namespace kastel::odbc {
namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

[[noreturn]] void Malformed() {
  // The text OLE DB gives for a connection string it cannot read.
  throw MakeDriverError("初期化文字列の形式が OLE DB の仕様に従っていません。");
}

// Reads the text of the string at `pos` up to and including its closing `close`; a doubled
// `close` inside stands for one.
std::string ReadEnclosed(std::string_view text, std::size_t& pos, char close) {
  std::string out;
  for (;;) {
    if (pos >= text.size()) Malformed();
    char c = text[pos++];
    if (c != close) {
      out += c;
    } else if (pos < text.size() && text[pos] == close) {
      out += close;
      ++pos;
    } else {
      return out;
    }
  }
}

// Reads a key up to its "=" (consumed); "==" is a literal "=". Returns nothing for a blank
// segment that ends at ";" or at the end.
std::optional<std::string> ReadKey(std::string_view text, std::size_t& pos) {
  std::string key;
  for (;;) {
    if (pos >= text.size() || text[pos] == ';') {
      if (!Trim(key).empty()) Malformed();
      return std::nullopt;
    }
    char c = text[pos++];
    if (c != '=') {
      key += c;
    } else if (pos < text.size() && text[pos] == '=') {
      key += '=';
      ++pos;
    } else {
      std::string trimmed(Trim(key));
      if (trimmed.empty()) Malformed();
      return trimmed;
    }
  }
}

std::string ReadValue(std::string_view text, std::size_t& pos) {
  while (pos < text.size() && IsBlank(text[pos])) ++pos;
  if (pos < text.size() && (text[pos] == '"' || text[pos] == '\'' || text[pos] == '{')) {
    char open = text[pos++];
    std::string value = ReadEnclosed(text, pos, open == '{' ? '}' : open);
    while (pos < text.size() && IsBlank(text[pos])) ++pos;
    if (pos < text.size() && text[pos] != ';') Malformed();
    return value;
  }
  std::size_t end = text.find(';', pos);
  if (end == std::string_view::npos) end = text.size();
  std::string value(Trim(text.substr(pos, end - pos)));
  pos = end;
  return value;
}

}  // namespace

Attributes ParseConnectionString(std::string_view text) {
  Attributes out;
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::optional<std::string> key = ReadKey(text, pos);
    if (key) out.push_back({*key, ReadValue(text, pos)});
    if (pos < text.size()) ++pos;  // the ";"
  }
  return out;
}

bool SameKey(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
  }
  return true;
}

std::optional<std::string> FindAttribute(const Attributes& attributes, std::string_view key) {
  for (auto it = attributes.rbegin(); it != attributes.rend(); ++it) {
    if (SameKey(it->key, key)) return it->value;
  }
  return std::nullopt;
}

std::string QuoteOdbcValue(std::string_view value) {
  bool brace = !value.empty() && (IsBlank(value.front()) || IsBlank(value.back()) ||
                                  value.front() == '"' || value.front() == '\'');
  brace = brace || value.find_first_of(";{}=") != std::string_view::npos;
  if (!brace) return std::string(value);
  std::string out = "{";
  for (char c : value) {
    out += c;
    if (c == '}') out += '}';
  }
  out += '}';
  return out;
}

std::string WriteOdbcConnectionString(const Attributes& attributes) {
  std::string out;
  for (const Attribute& a : attributes) {
    if (!out.empty()) out += ';';
    out += a.key;
    out += '=';
    out += QuoteOdbcValue(a.value);
  }
  return out;
}

}  // namespace kastel::odbc
