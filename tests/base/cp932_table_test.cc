// The remembered conversion table against iconv itself, character by character: every
// character of the Basic Multilingual Plane, met for the first time and again, and the
// malformed sequences that iconv alone decides about; and whether CP932 holds each.
#include <iconv.h>

#include <iterator>
#include <string>

#include <gtest/gtest.h>

#include "base/cp932.h"

namespace kastel::cp932 {
namespace {

std::string Utf8(char32_t c) {
  std::string s;
  if (c < 0x80) {
    s += static_cast<char>(c);
  } else if (c < 0x800) {
    s += static_cast<char>(0xC0 | (c >> 6));
    s += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    s += static_cast<char>(0xE0 | (c >> 12));
    s += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    s += static_cast<char>(0x80 | (c & 0x3F));
  }
  return s;
}

// What iconv makes of one sequence, "?" when it refuses it.
std::string IconvOf(const std::string& seq) {
  iconv_t cd = iconv_open("CP932", "UTF-8");
  char buf[8];
  char* in = const_cast<char*>(seq.data());
  std::size_t in_left = seq.size(), out_left = sizeof buf;
  char* out = buf;
  const bool ok = iconv(cd, &in, &in_left, &out, &out_left) != static_cast<std::size_t>(-1);
  iconv_close(cd);
  return ok ? std::string(buf, static_cast<std::size_t>(out - buf)) : "?";
}

TEST(Cp932Table, EveryCharacterConvertsAsIconvDoesFirstTimeAndAfter) {
  int differences = 0;
  for (char32_t c = 0x80; c <= 0xFFFF; ++c) {
    if (c >= 0xD800 && c <= 0xDFFF) continue;
    const std::string seq = Utf8(c);
    const std::string want = IconvOf(seq);
    const std::string first = Encode(seq);
    const std::string again = Encode("x" + seq + "y");
    if (first != want || again != "x" + want + "y" || Width(seq) != want.size() ||
        Holds(seq) != (want != "?")) {
      if (++differences < 5) ADD_FAILURE() << "U+" << std::hex << static_cast<unsigned>(c);
    }
  }
  EXPECT_EQ(differences, 0);
}

TEST(Cp932Table, MalformedSequencesBecomeOneQuestionMarkEach) {
  const struct {
    const char* utf8;
    const char* cp932;
  } cases[] = {
      {"a\xE3\x41\x42z", "a?z"},      // bad continuation: the whole sequence goes
      {"a\xE0\x80\x80z", "a?z"},      // overlong
      {"a\xED\xA0\x80z", "a?z"},      // a surrogate
      {"a\xF0\x9F\x98\x80z", "a?z"},  // beyond the plane
      {"a\xE3\x81", "a??"},           // cut short: each byte on its own
      {"a\xFFz", "a?z"},              // no lead byte at all
      {"\xEF\xBD\xB1\xE7\xA4\xBE", "\xB1\x8E\xD0"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Encode(c.utf8), c.cp932) << c.utf8;
    // Holds tells whether Encode kept every character: only the last case does.
    EXPECT_EQ(Holds(c.utf8), &c == std::end(cases) - 1) << c.utf8;
  }
}

}  // namespace
}  // namespace kastel::cp932
