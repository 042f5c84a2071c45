#include "base/cp932.h"

#include <gtest/gtest.h>

namespace kastel::cp932 {
namespace {

TEST(Cp932, EncodesJapaneseAsShiftJisAndUnknownAsQuestionMark) {
  EXPECT_EQ(Encode("AB"), "AB");
  EXPECT_EQ(Encode("社員"), "\x8e\xd0\x88\xf5");
  EXPECT_EQ(Encode("ｱ"), "\xb1");   // half-width katakana is one byte
  EXPECT_EQ(Encode("a😀b"), "a?b");  // outside CP932
  EXPECT_EQ(Encode("a\xff"
                   "b"),
            "a?b");  // not UTF-8
}

TEST(Cp932, WidthCountsFullWidthAsTwo) {
  EXPECT_EQ(Width(""), 0u);
  EXPECT_EQ(Width("EMP_ID"), 6u);
  EXPECT_EQ(Width("社員ID"), 6u);
  EXPECT_EQ(Width("ｱｲ"), 2u);
  EXPECT_EQ(Width("😀"), 1u);
}

}  // namespace
}  // namespace kastel::cp932
