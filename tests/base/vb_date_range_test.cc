// Serial numbers outside the runtime's calendar are an overflow, never a made-up date.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "base/vb.h"
#include "support.h"

namespace kastel::vb {
namespace {

TEST(DateText, KeepsTheCalendarEndsAndOverflowsBeyondThem) {
  EXPECT_EQ(DateText(-657434), "0100/01/01");
  EXPECT_EQ(DateText(2958465.5), "9999/12/31 12:00:00");
  for (double serial : {-657435.0, 2958466.0, 1e300, -1e300, HUGE_VAL, -HUGE_VAL,
                        std::numeric_limits<double>::quiet_NaN()}) {
    SCOPED_TRACE(serial);
    testing::ExpectError([&] { DateText(serial); }, RuntimeError::kOverflow);
    testing::ExpectError([&] { Concat(Value::Date(serial)); }, RuntimeError::kOverflow);
  }
}

}  // namespace
}  // namespace kastel::vb
