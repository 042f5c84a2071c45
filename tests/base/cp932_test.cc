#include "base/cp932.h"

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

}  // namespace
}  // namespace kastel::cp932
