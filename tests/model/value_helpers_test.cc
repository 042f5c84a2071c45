// The error reporter and the value helpers, shown through the real terminal shell.
#include <gtest/gtest.h>

#include <cstdint>
#include <sstream>
#include <string>

#include "base/error.h"
#include "base/value.h"
#include "model/defines.h"
#include "model_test_util.h"
#include "term/term_shell.h"
#include "util/shell.h"

namespace kastel::model {
namespace {

class ValueHelpersTest : public ::testing::Test {
 protected:
  std::ostringstream out_;
  std::ostringstream err_;
  std::istringstream in_;
  term::TermShell shell_{out_, err_, in_, false};
  Defines defines_{shell_};
};

TEST_F(ValueHelpersTest, ColumnLetterNamesColumnsAsTheHostDoes) {
  const struct {
    std::int32_t column;
    const char* letters;
  } cases[] = {{1, "A"},   {3, "C"},   {18, "R"},   {22, "V"},    {26, "Z"},    {27, "AA"},
               {52, "AZ"}, {53, "BA"}, {702, "ZZ"}, {703, "AAA"}, {728, "AAZ"}, {16384, "XFD"}};
  for (const auto& c : cases) {
    EXPECT_EQ(Defines::ColumnLetter(c.column), c.letters) << c.column;
  }
}

TEST_F(ValueHelpersTest, ColumnLetterRefusesColumnsTheHostDoesNotHave) {
  for (std::int32_t column : {0, -1, 16385}) {
    ExpectError([&] { Defines::ColumnLetter(column); }, 5,
                "プロシージャの呼び出し、または引数が不正です。");
  }
}

TEST_F(ValueHelpersTest, PadRightBCountsCp932BytesAndNeverCuts) {
  const struct {
    Value text;
    std::int32_t width;
    std::string expected;
  } cases[] = {
      {Value::Text("ab"), 6, "ab    "},
      {Value::Text("表示"), 6, "表示  "},        // full-width counts 2
      {Value::Text("ｱｲ"), 6, "ｱｲ    "},          // half-width katakana counts 1
      {Value::Text("12345678"), 6, "12345678"},  // longer: unchanged
      {Value::Text("顧客番号"), 8, "顧客番号"},  // exactly the width
      {Value::Text(""), 3, "   "},
      {Value(), 2, "  "},              // an empty cell
      {Value::Number(12), 4, "12  "},  // numbers in their text form
      {Value::Text("abc"), 0, "abc"},
      {Value::Text("abc"), -5, "abc"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(defines_.PadRightB(c.text, c.width), c.expected) << c.expected;
  }
  EXPECT_EQ(defines_.failures_shown(), 0);
}

TEST_F(ValueHelpersTest, IsEmptyExTreatsOnlyEmptyNullAndZeroLengthTextAsEmpty) {
  const struct {
    Value value;
    bool empty;
  } cases[] = {
      {Value(), true},           {Value::Null(), true},     {Value::Text(""), true},
      {Value::Text(" "), false}, {Value::Number(0), false}, {Value::Boolean(false), false},
      {Value::Date(0.5), false},
  };
  for (const auto& c : cases) EXPECT_EQ(defines_.IsEmptyEx(c.value), c.empty);
  EXPECT_EQ(defines_.failures_shown(), 0);
  EXPECT_EQ(err_.str(), "");
}

TEST_F(ValueHelpersTest, CStrExGivesTheRuntimesTextForm) {
  const struct {
    Value value;
    std::string text;
  } cases[] = {
      {Value(), ""},
      {Value::Null(), ""},
      {Value::Text("abc"), "abc"},
      {Value::Text(" x "), " x "},
      {Value::Number(12), "12"},
      {Value::Number(1.5), "1.5"},
      {Value::Number(-0.25), "-0.25"},
      {Value::Boolean(true), "True"},
      {Value::Date(45296), "2024/01/05"},
  };
  for (const auto& c : cases) EXPECT_EQ(defines_.CStrEx(c.value), c.text);
  EXPECT_EQ(defines_.failures_shown(), 0);
}

TEST_F(ValueHelpersTest, HelpersReportAnErrorValueAndGiveTheirDefault) {
  EXPECT_FALSE(defines_.IsEmptyEx(Value::ErrorValue("#N/A")));
  EXPECT_EQ(defines_.CStrEx(Value::ErrorValue("#DIV/0!")), "");
  EXPECT_EQ(defines_.PadRightB(Value::ErrorValue("#REF!"), 3), "   ");
  EXPECT_EQ(defines_.failures_shown(), 3);
  EXPECT_EQ(err_.str(), "型が一致しません。\n型が一致しません。\n型が一致しません。\n");
  EXPECT_EQ(out_.str(), "");
}

TEST_F(ValueHelpersTest, ErrMsgShowsTheDescriptionAloneAndCountsIt) {
  const int pressed =
      defines_.ErrMsg("パラメタ'X'が未設定です。\r\n設定を確認して下さい。", 48, "RefreshList");
  EXPECT_EQ(pressed, kMsgOk);
  EXPECT_EQ(err_.str(), "パラメタ'X'が未設定です。\n設定を確認して下さい。\n");
  EXPECT_EQ(err_.str().find("RefreshList"), std::string::npos);
  EXPECT_EQ(defines_.failures_shown(), 1);
  defines_.ErrMsg("二つ目", 48, "GetSheet");
  EXPECT_EQ(defines_.failures_shown(), 2);
}

}  // namespace
}  // namespace kastel::model
