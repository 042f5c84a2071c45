// UTF-8 encoding of one code point, shared by every reader that decodes character references or
// UTF-16 into the program's UTF-8 text.
#ifndef KASTEL_BASE_UTF8_H_
#define KASTEL_BASE_UTF8_H_

#include <string>

namespace kastel {

// Writes `c` (at most U+10FFFF; the caller has replaced anything else) as UTF-8 at `out`, which
// has room for four bytes, and returns the end of what it wrote. Inline: the one-pass scan of a
// sheet writes every character reference of its texts so, in place.
inline char* PutUtf8(char* out, char32_t c) {
  if (c < 0x80) {
    *out++ = static_cast<char>(c);
  } else if (c < 0x800) {
    *out++ = static_cast<char>(0xC0 | (c >> 6));
    *out++ = static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    *out++ = static_cast<char>(0xE0 | (c >> 12));
    *out++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    *out++ = static_cast<char>(0x80 | (c & 0x3F));
  } else {
    *out++ = static_cast<char>(0xF0 | (c >> 18));
    *out++ = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    *out++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    *out++ = static_cast<char>(0x80 | (c & 0x3F));
  }
  return out;
}

// Appends `c` (at most U+10FFFF; the caller has replaced anything else) to `out` as UTF-8.
void AppendUtf8(std::string& out, char32_t c);

}  // namespace kastel

#endif  // KASTEL_BASE_UTF8_H_
