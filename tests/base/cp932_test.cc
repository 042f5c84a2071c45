#include "base/cp932.h"

#include <string>

#include <gtest/gtest.h>

namespace kastel::cp932 {
namespace {

TEST(Cp932, WidthCountsFullWidthAsTwo) {
  EXPECT_EQ(Width(""), 0u);
  EXPECT_EQ(Width("EMP_ID"), 6u);
  EXPECT_EQ(Width("社員ID"), 6u);
  EXPECT_EQ(Width("ｱｲ"), 2u);
  EXPECT_EQ(Width("😀"), 1u);
}

// Runs of ASCII are looked at several bytes at a time: a character, or a byte that starts none,
// at any place before, inside or after such a look is still encoded on its own.
TEST(Cp932, CharactersAmongLongAsciiRunsAreEncoded) {
  const struct {
    const char* utf8;
    const char* cp932;
  } marks[] = {{"社", "\x8E\xD0"}, {"ｱ", "\xB1"}, {"\xFF", "?"}, {"😀", "?"}};
  for (const auto& mark : marks) {
    for (std::size_t at = 0; at <= 40; ++at) {
      const std::string before(at, 'a'), after(40 - at, 'b');
      EXPECT_EQ(Encode(before + mark.utf8 + after + mark.utf8),
                before + mark.cp932 + after + mark.cp932)
          << mark.utf8 << " at " << at;
    }
  }
}

}  // namespace
}  // namespace kastel::cp932
