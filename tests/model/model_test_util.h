// Assertions shared by the model's tests.
#ifndef KASTEL_TESTS_MODEL_MODEL_TEST_UTIL_H_
#define KASTEL_TESTS_MODEL_MODEL_TEST_UTIL_H_

#include <gtest/gtest.h>

#include <string>

#include "base/error.h"

namespace kastel {

// Runs `fn` and checks that it throws kastel::Error with this number and description.
template <typename Fn>
void ExpectError(Fn&& fn, long number, const std::string& description) {
  try {
    fn();
    ADD_FAILURE() << "no error; expected " << number << " " << description;
  } catch (const Error& e) {
    EXPECT_EQ(e.number(), number) << e.description();
    EXPECT_EQ(e.description(), description);
  }
}

}  // namespace kastel

#endif  // KASTEL_TESTS_MODEL_MODEL_TEST_UTIL_H_
