// The error reporter and the value helpers, shown through the real terminal shell.
#include <gtest/gtest.h>

#include <cstdint>
#include <sstream>
#include <string>

#include "base/value.h"
#include "model/defines.h"
#include "support.h"
#include "term/term_shell.h"

namespace kastel::model {
namespace {

using kastel::testing::ExpectError;

class ValueHelpersTest : public ::testing::Test {
 protected:
  std::ostringstream out_, err_;
  std::istringstream in_;
  term::TermShell shell_{out_, err_, in_, false};
  Defines defines_{shell_};
};

TEST_F(ValueHelpersTest, ColumnLetterNamesColumnsAsTheHostDoes) {
  const struct {
    std::int32_t column;
    const char* letters;
  } cases[] = {{1, "A"},   {26, "Z"},   {27, "AA"},   {52, "AZ"},
               {53, "BA"}, {702, "ZZ"}, {703, "AAA"}, {16384, "XFD"}};
  for (const auto& c : cases) EXPECT_EQ(Defines::ColumnLetter(c.column), c.letters);
  for (std::int32_t column : {0, 16385}) {
    ExpectError([&] { Defines::ColumnLetter(column); }, 5,
                "プロシージャの呼び出し、または引数が不正です。");
  }
}

TEST_F(ValueHelpersTest, PadRightBCountsCp932BytesAndNeverCuts) {
  const struct {
    Value text;
    std::int32_t width;
    std::string expected;
  } cases[] = {{Value::Text("ab"), 6, "ab    "},
               {Value::Text("表示"), 6, "表示  "},
               {Value::Text("ｱｲ"), 6, "ｱｲ    "},
               {Value::Text("12345678"), 6, "12345678"},
               {Value(), 2, "  "},
               {Value::Number(12), 4, "12  "},
               {Value::Text("abc"), -5, "abc"}};
  for (const auto& c : cases) EXPECT_EQ(defines_.PadRightB(c.text, c.width), c.expected);
}

TEST_F(ValueHelpersTest, EmptinessAndTextFollowTheRuntime) {
  const struct {
    Value value;
    bool empty;
    std::string text;
  } cases[] = {{Value(), true, ""},
               {Value::Null(), true, ""},
               {Value::Text(""), true, ""},
               {Value::Text(" "), false, " "},
               {Value::Number(0), false, "0"},
               {Value::Number(1.5), false, "1.5"},
               {Value::Boolean(false), false, "False"},
               {Value::Date(45296), false, "2024/01/05"}};
  for (const auto& c : cases) {
    EXPECT_EQ(defines_.IsEmptyEx(c.value), c.empty) << c.text;
    EXPECT_EQ(defines_.CStrEx(c.value), c.text);
  }
  EXPECT_EQ(defines_.failures_shown(), 0);
}

TEST_F(ValueHelpersTest, AnErrorValueIsReportedCountedAndGivesTheDefault) {
  EXPECT_FALSE(defines_.IsEmptyEx(Value::ErrorValue("#N/A")));
  EXPECT_EQ(defines_.CStrEx(Value::ErrorValue("#DIV/0!")), "");
  EXPECT_EQ(defines_.failures_shown(), 2);
  EXPECT_EQ(err_.str(), "型が一致しません。\n型が一致しません。\n");
  EXPECT_EQ(out_.str(), "");
}

}  // namespace
}  // namespace kastel::model
