// Assertions on kastel::Error: the number and the description are checked together, since a
// user sees the text and scripts see the number.
#ifndef KASTEL_TESTS_UTIL_ERROR_MATCHERS_H_
#define KASTEL_TESTS_UTIL_ERROR_MATCHERS_H_

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "base/error.h"

namespace kastel::testing {

// Fails unless `action` throws kastel::Error with exactly this number and description.
inline void ExpectError(const std::function<void()>& action, long number,
                        const std::string& description) {
  try {
    action();
  } catch (const Error& e) {
    EXPECT_EQ(e.number(), number) << e.description();
    EXPECT_EQ(e.description(), description);
    return;
  }
  ADD_FAILURE() << "no error; expected " << number << " " << description;
}

inline void ExpectError(const std::function<void()>& action, RuntimeError code) {
  ExpectError(action, static_cast<long>(code), RuntimeDescription(code));
}

}  // namespace kastel::testing

#endif  // KASTEL_TESTS_UTIL_ERROR_MATCHERS_H_
