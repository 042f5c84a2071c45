#include "odbc/wide_text.h"

#include "base/utf8.h"

namespace kastel::odbc {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool IsContinuation(unsigned char c) { return (c & 0xC0) == 0x80; }

// Decodes the sequence at `pos`, moving past it; an invalid one is consumed a byte at a time.
char32_t Decode(std::string_view s, std::size_t& pos) {
  const auto lead = static_cast<unsigned char>(s[pos++]);
  if (lead < 0x80) return lead;
  int extra = 0;
  char32_t c = 0, min = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    extra = 1, c = lead & 0x1F, min = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    extra = 2, c = lead & 0x0F, min = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    extra = 3, c = lead & 0x07, min = 0x10000;
  } else {
    return kReplacement;
  }
  std::size_t p = pos;
  for (int i = 0; i < extra; ++i, ++p) {
    if (p >= s.size() || !IsContinuation(static_cast<unsigned char>(s[p]))) return kReplacement;
    c = (c << 6) | (static_cast<unsigned char>(s[p]) & 0x3F);
  }
  if (c < min || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return kReplacement;
  pos = p;
  return c;
}

}  // namespace

WideText ToWide(std::string_view utf8) {
  WideText out;
  out.reserve(utf8.size());
  for (std::size_t pos = 0; pos < utf8.size();) {
    const char32_t c = Decode(utf8, pos);
    if (c < 0x10000) {
      out += static_cast<SQLWCHAR>(c);
    } else {
      out += static_cast<SQLWCHAR>(0xD800 + ((c - 0x10000) >> 10));
      out += static_cast<SQLWCHAR>(0xDC00 + ((c - 0x10000) & 0x3FF));
    }
  }
  return out;
}

std::string ToUtf8(const SQLWCHAR* text, std::size_t length) {
  std::string out;
  out.reserve(length);
  for (std::size_t i = 0; i < length; ++i) {
    const char32_t u = text[i];
    if (u >= 0xD800 && u <= 0xDBFF && i + 1 < length && text[i + 1] >= 0xDC00 &&
        text[i + 1] <= 0xDFFF) {
      AppendUtf8(out, 0x10000 + ((u - 0xD800) << 10) + (text[++i] - 0xDC00));
    } else if (u >= 0xD800 && u <= 0xDFFF) {
      AppendUtf8(out, kReplacement);
    } else {
      AppendUtf8(out, u);
    }
  }
  return out;
}

std::size_t WideLength(const SQLWCHAR* text, std::size_t limit) {
  std::size_t n = 0;
  while (n < limit && text[n] != 0) ++n;
  return n;
}

}  // namespace kastel::odbc
