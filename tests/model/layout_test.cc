// Document properties and layout parameters read from workbooks written by openpyxl.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "base/error.h"
#include "book_fixture.h"
#include "model/defines.h"
#include "model_test_util.h"

namespace kastel::model {
namespace {

constexpr const char* kSubscript = "インデックスが有効範囲にありません。";
constexpr const char* kMismatch = "型が一致しません。";
constexpr const char* kOverflow = "オーバーフローしました。";

std::string Unset(const std::string& name) {
  return "パラメタ'" + name + "'が未設定です。\r\n設定を確認して下さい。";
}

using LayoutTest = BookTest;

TEST_F(LayoutTest, LayoutParamConvertsEachHalfAsTheRuntimeWould) {
  host::Workbook& wb = Open("layout_values.xlsx");
  const struct {
    const char* name;
    std::int32_t row;
    std::int32_t col;
  } cases[] = {
      {"P_PLAIN", 5, 3},         {"P_BLANKS", 5, 3},  // blanks around a number are accepted
      {"P_THREE", 5, 3},                              // a third number is ignored
      {"P_EDGE", 32767, -32768}, {"P_NEGATIVE", -2, 3},
      {"P_HALF", 2, 4},  // halves go to the even neighbour
  };
  for (const auto& c : cases) {
    std::int32_t row = -1;
    std::int32_t col = -1;
    Defines::GetLayoutParam(wb, c.name, row, col);
    EXPECT_EQ(row, c.row) << c.name;
    EXPECT_EQ(col, c.col) << c.name;
  }
}

TEST_F(LayoutTest, LayoutParamFailsWithTheRuntimesOrTheSystemsOwnError) {
  host::Workbook& wb = Open("layout_values.xlsx");
  const struct {
    const char* name;
    long number;
    std::string description;
  } cases[] = {
      {"P_ZERO_ROW", 20001, Unset("P_ZERO_ROW")},
      {"P_ZERO_COL", 20001, Unset("P_ZERO_COL")},
      {"INDEX_NAME", 20001, Unset("INDEX_NAME")},
      {"P_NO_COMMA", 9, kSubscript},
      {"P_EMPTY", 9, kSubscript},
      {"P_NUMBER", 9, kSubscript},  // a numeric property reads as "5": no comma
      {"NO_SUCH_PROPERTY", 9, kSubscript},
      {"P_TEXT", 13, kMismatch},
      {"P_TEXT_COL", 13, kMismatch},
      {"P_TRAILING", 13, kMismatch},  // "5,": the second element is empty
      {"P_BIG", 6, kOverflow},
  };
  for (const auto& c : cases) {
    std::int32_t row = 0;
    std::int32_t col = 0;
    ExpectError([&] { Defines::GetLayoutParam(wb, c.name, row, col); }, c.number, c.description);
  }
}

TEST_F(LayoutTest, OwnErrorCarriesItsSourceAndBothHalvesAreStoredFirst) {
  host::Workbook& wb = Open("layout_values.xlsx");
  std::int32_t row = -1;
  std::int32_t col = -1;
  try {
    Defines::GetLayoutParam(wb, "P_ZERO_COL", row, col);
    ADD_FAILURE() << "no error";
  } catch (const Error& e) {
    EXPECT_EQ(e.source(), "Nordwick");
  }
  EXPECT_EQ(row, 5);
  EXPECT_EQ(col, 0);
  // Without a comma the row is taken before the missing column fails.
  row = col = -1;
  EXPECT_THROW(Defines::GetLayoutParam(wb, "P_NO_COMMA", row, col), Error);
  EXPECT_EQ(row, 5);
  EXPECT_EQ(col, -1);
}

TEST_F(LayoutTest, LoadLayoutReadsAllTwelvePositions) {
  defines_.LoadLayout(Open("three_sheets.xlsx"));
  const Layout& at = defines_.layout();
  const struct {
    LayoutPos pos;
    std::int32_t row;
    std::int32_t col;
  } cases[] = {
      {at.table_name, 4, 3},      {at.table_title, 5, 3},   {at.table_number, 3, 21},
      {at.column_name, 8, 3},     {at.column_title, 8, 4},  {at.data_type, 8, 5},
      {at.nullable, 8, 6},        {at.default_value, 8, 7}, {at.index_column, 8, 8},
      {at.column_comment, 8, 18}, {at.index_name, 6, 21},   {at.constraint_type, 6, 22},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.pos.row, c.row);
    EXPECT_EQ(c.pos.col, c.col);
  }
}

TEST_F(LayoutTest, FailedLoadReplacesOnlyThePositionsBeforeTheFailingOne) {
  defines_.LoadLayout(Open("column_blocks.xlsx"));   // CONSTRAINT_TYPE 6,18
  host::Workbook& bad = Open("layout_values.xlsx");  // INDEX_NAME 0,3
  ExpectError([&] { defines_.LoadLayout(bad); }, 20001, Unset("INDEX_NAME"));
  EXPECT_EQ(defines_.layout().column_comment.col, 18);
  EXPECT_EQ(defines_.layout().index_name.row, 0);  // stored before the test
  EXPECT_EQ(defines_.layout().index_name.col, 3);
  EXPECT_EQ(defines_.layout().constraint_type.col, 18);  // still the earlier workbook's
}

TEST_F(LayoutTest, DocPropertiesReadAsTextAndMissingOnesAsEmpty) {
  host::Workbook& wb = Open("layout_values.xlsx");
  const struct {
    const char* name;
    bool exists;
    const char* text;
  } cases[] = {
      {"DB", true, "SQL"},     {"TEMPLATE", true, "DB"}, {"db", false, ""},
      {"P_NUMBER", true, "5"}, {"P_EMPTY", true, ""},    {"NOTHING", false, ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Defines::DocPropertyExists(wb, c.name), c.exists) << c.name;
    EXPECT_EQ(Defines::GetDocProperty(wb, c.name), c.text) << c.name;
  }
  EXPECT_EQ(Defines::GetDocProperty(Open("plain.xlsx"), "DB"), "");
}

TEST_F(LayoutTest, SetDocPropertyAddsATextPropertyOnceThenChangesIt) {
  host::Workbook& wb = Open("three_sheets.xlsx");
  const int before = wb.CustomDocumentProperties().Count();
  Defines::SetDocProperty(wb, "DATABASE", "売上");
  Defines::SetDocProperty(wb, "DATABASE", "在庫");
  Defines::SetDocProperty(wb, "DB", "ORA");
  EXPECT_EQ(wb.CustomDocumentProperties().Count(), before + 1);
  EXPECT_EQ(wb.CustomDocumentProperties().Item("DATABASE").GetValue(), Value::Text("在庫"));
  const auto dump = SaveAndDump(wb);
  EXPECT_EQ(testing::Get(dump, "prop DATABASE"), "在庫");
  EXPECT_EQ(testing::Get(dump, "prop DB"), "ORA");
}

}  // namespace
}  // namespace kastel::model
