#include "base/vb.h"

#include <gtest/gtest.h>

#include "base/error.h"
#include "support.h"

namespace kastel::vb {
namespace {

TEST(Concat, GivesTheRuntimeTextOfEveryKind) {
  struct Case {
    Value value;
    const char* text;
  } cases[] = {{Value(), ""},
               {Value::Null(), ""},
               {Value::Text(" a "), " a "},
               {Value::Number(12), "12"},
               {Value::Number(1.5), "1.5"},
               {Value::Number(-0.25), "-0.25"},
               {Value::Number(0), "0"},
               {Value::Number(1e20), "1E+20"},
               {Value::Number(0.00001), "1E-05"},
               {Value::Number(123456789012345.0), "123456789012345"},
               {Value::Number(0.1 + 0.2), "0.3"},
               {Value::Boolean(true), "True"},
               {Value::Boolean(false), "False"},
               {Value::Date(45296), "2024/01/05"},
               {Value::Date(45296 + (9 * 3600 + 3 * 60 + 7) / 86400.0), "2024/01/05 9:03:07"},
               {Value::Date((9 * 3600 + 3 * 60 + 7) / 86400.0), "9:03:07"},
               {Value::Date(2), "1900/01/01"}};
  for (const auto& c : cases) EXPECT_EQ(Concat(c.value), c.text);
}

TEST(Concat, FailsWithTypeMismatchOnAnErrorValue) {
  testing::ExpectError([] { Concat(Value::ErrorValue("#N/A")); }, RuntimeError::kTypeMismatch);
}

TEST(CInt, ConvertsAsTheRuntimeDoes) {
  struct Case {
    const char* text;
    int expected;  // or -100000 + error number
  } cases[] = {{"5", 5},           {" 5 ", 5},          {"  21", 21},       {"-3", -3},
               {"+7", 7},          {"2.5", 2},          {"3.5", 4},         {"-2.5", -2},
               {"1e2", 100},       {"32767", 32767},    {"-32768", -32768}, {"32768", -100006},
               {"40000", -100006}, {"-32769", -100006}, {"", -100013},      {" ", -100013},
               {"abc", -100013},   {"5,3", -100013},    {"0x10", -100013},  {"inf", -100013},
               {"1 2", -100013}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    if (c.expected > -100000) {
      EXPECT_EQ(CInt(std::string_view(c.text)), c.expected);
    } else {
      try {
        CInt(std::string_view(c.text));
        ADD_FAILURE() << "no error";
      } catch (const Error& e) {
        EXPECT_EQ(e.number(), -(c.expected + 100000));
      }
    }
  }
}

TEST(CInt, OfValuesFollowsTheirKind) {
  EXPECT_EQ(CInt(Value()), 0);
  EXPECT_EQ(CInt(Value::Number(1.5)), 2);
  EXPECT_EQ(CInt(Value::Number(0.5)), 0);
  EXPECT_EQ(CInt(Value::Boolean(true)), -1);
  EXPECT_EQ(CInt(Value::Text("12")), 12);
  EXPECT_THROW(CInt(Value::Number(40000)), Error);
  EXPECT_THROW(CInt(Value::ErrorValue("#REF!")), Error);
}

TEST(IsNumeric, AcceptsNumbersAndNumericTextOnly) {
  EXPECT_TRUE(IsNumeric(Value::Number(3)));
  EXPECT_TRUE(IsNumeric(Value::Text(" 3 ")));
  EXPECT_TRUE(IsNumeric(Value()));
  EXPECT_FALSE(IsNumeric(Value::Text("○")));
  EXPECT_FALSE(IsNumeric(Value::Text("")));
  EXPECT_FALSE(IsNumeric(Value::ErrorValue("#N/A")));
}

TEST(UCase, UppersAsciiAndFullWidthLettersOnly) {
  EXPECT_EQ(UCase("emp_id"), "EMP_ID");
  EXPECT_EQ(UCase("ｅｍｐ社員"), "ＥＭＰ社員");
}

}  // namespace
}  // namespace kastel::vb
