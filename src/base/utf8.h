// UTF-8 encoding of one code point, shared by every reader that decodes character references or
// UTF-16 into the program's UTF-8 text.
#ifndef KASTEL_BASE_UTF8_H_
#define KASTEL_BASE_UTF8_H_

#include <string>

namespace kastel {

// Appends `c` (at most U+10FFFF; the caller has replaced anything else) to `out` as UTF-8.
void AppendUtf8(std::string& out, char32_t c);

}  // namespace kastel

#endif  // KASTEL_BASE_UTF8_H_
