// The _xHHHH_ escapes of OOXML string text. XML 1.0 cannot carry most control characters at
// all, and pugixml would write them as character references that are not well-formed, which
// makes Excel refuse the file; Excel writes and reads them as _xHHHH_ instead.
#include <cstdint>
#include <string>

#include "base/utf8.h"
#include "xlsx/package.h"

namespace kastel::xlsx {
namespace {

constexpr char kHex[] = "0123456789ABCDEF";
constexpr char32_t kReplacement = 0xFFFD;

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The code unit of an escape "_xHHHH_" starting at `at`, or -1 when there is none.
long EscapeAt(std::string_view text, std::size_t at) {
  if (at + 7 > text.size() || text[at] != '_' || text[at + 1] != 'x' || text[at + 6] != '_') {
    return -1;
  }
  long value = 0;
  for (std::size_t i = at + 2; i < at + 6; ++i) {
    int digit = HexValue(text[i]);
    if (digit < 0) return -1;
    value = value * 16 + digit;
  }
  return value;
}

void AppendEscape(std::string& out, char32_t unit) {
  out += "_x";
  for (int shift = 12; shift >= 0; shift -= 4) out += kHex[(unit >> shift) & 0xF];
  out += '_';
}

// Decodes one UTF-8 character at `at`, advancing `at`; a malformed sequence gives U+FFFD and
// skips one byte, so that no invalid byte reaches a part.
char32_t DecodeUtf8(std::string_view text, std::size_t& at) {
  auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  unsigned char lead = byte(at);
  int length = lead < 0x80           ? 1
               : (lead >> 5) == 0x6  ? 2
               : (lead >> 4) == 0xE  ? 3
               : (lead >> 3) == 0x1E ? 4
                                     : 0;
  if (length == 0 || at + length > text.size()) {
    ++at;
    return kReplacement;
  }
  char32_t c = length == 1 ? lead : lead & (0x7F >> length);
  for (int i = 1; i < length; ++i) {
    if ((byte(at + i) & 0xC0) != 0x80) {
      ++at;
      return kReplacement;
    }
    c = (c << 6) | (byte(at + i) & 0x3F);
  }
  static constexpr char32_t kMin[] = {0, 0, 0x80, 0x800, 0x10000};
  if (c < kMin[length] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
    ++at;
    return kReplacement;
  }
  at += length;
  return c;
}

// Characters XML 1.0 cannot hold, and CR, which a parser turns into LF.
bool NeedsEscape(char32_t c) {
  if (c < 0x20) return c != '\t' && c != '\n';
  return c == 0xFFFE || c == 0xFFFF;
}

}  // namespace

std::string EscapeText(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  std::size_t at = 0;
  while (at < text.size()) {
    if (EscapeAt(text, at) >= 0) {
      out += "_x005F_";  // the literal "_xHHHH_" reads back as itself
      ++at;
      continue;
    }
    char32_t c = DecodeUtf8(text, at);
    if (NeedsEscape(c)) {
      AppendEscape(out, c);
    } else {
      AppendUtf8(out, c);
    }
  }
  return out;
}

std::string UnescapeText(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  std::size_t at = 0;
  while (at < text.size()) {
    long unit = EscapeAt(text, at);
    if (unit < 0) {
      out += text[at++];
      continue;
    }
    at += 7;
    char32_t c = static_cast<char32_t>(unit);
    if (c >= 0xD800 && c <= 0xDBFF) {
      long low = EscapeAt(text, at);
      if (low >= 0xDC00 && low <= 0xDFFF) {
        c = 0x10000 + ((c - 0xD800) << 10) + (static_cast<char32_t>(low) - 0xDC00);
        at += 7;
      } else {
        c = kReplacement;
      }
    } else if (c >= 0xDC00 && c <= 0xDFFF) {
      c = kReplacement;
    }
    AppendUtf8(out, c);
  }
  return out;
}

}  // namespace kastel::xlsx
