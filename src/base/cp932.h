// Text in the Japanese ANSI code page (CP932, Shift-JIS): the byte form of script files and the
// width measure that lines up script columns (a full-width character counts 2).
#ifndef KASTEL_BASE_CP932_H_
#define KASTEL_BASE_CP932_H_

#include <cstddef>
#include <string>
#include <string_view>

namespace kastel::cp932 {

// UTF-8 to CP932. A character CP932 cannot hold becomes "?", as the runtime's conversion with
// the code page's default character does; invalid UTF-8 bytes become "?" as well.
std::string Encode(std::string_view utf8);
// Encode, appended to `out`: a long script is encoded into one buffer without a copy per text.
void EncodeTo(std::string_view utf8, std::string& out);

// Whether Encode keeps every character of `utf8`: each is valid UTF-8 that CP932 holds.
bool Holds(std::string_view utf8);
// The number of bytes `utf8` takes in CP932.
std::size_t Width(std::string_view utf8);

}  // namespace kastel::cp932

#endif  // KASTEL_BASE_CP932_H_
