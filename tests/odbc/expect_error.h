// Assertions on kastel::Error that check the number and the text together.
#ifndef KASTEL_TESTS_ODBC_EXPECT_ERROR_H_
#define KASTEL_TESTS_ODBC_EXPECT_ERROR_H_

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "base/error.h"

namespace kastel::testing {

// Succeeds when `f` throws an Error with `number` whose description equals `description`
// (exact) or, with `whole` false, holds it.
template <typename F>
::testing::AssertionResult RaisesError(F&& f, long number, std::string_view description,
                                       bool whole = true) {
  try {
    f();
  } catch (const Error& e) {
    bool text_ok = whole ? e.description() == description
                         : e.description().find(description) != std::string::npos;
    if (e.number() == number && text_ok) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "raised " << e.number() << " \"" << e.description() << "\", expected " << number
           << (whole ? " \"" : " holding \"") << description << "\"";
  }
  return ::testing::AssertionFailure() << "raised nothing, expected " << number;
}

// The driver's own message, which the test knows only in part.
template <typename F>
::testing::AssertionResult RaisesDriverError(F&& f, std::string_view part) {
  return RaisesError(std::forward<F>(f), kDriverError, part, false);
}

}  // namespace kastel::testing

#endif  // KASTEL_TESTS_ODBC_EXPECT_ERROR_H_
