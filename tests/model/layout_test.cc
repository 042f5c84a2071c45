// Document properties and layout parameters read from workbooks written by openpyxl.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "book_fixture.h"
#include "support.h"

namespace kastel::model {
namespace {

using kastel::testing::ExpectError;

std::string Unset(const std::string& name) {
  return "パラメタ'" + name + "'が未設定です。\r\n設定を確認して下さい。";
}

using LayoutTest = BookTest;

TEST_F(LayoutTest, LayoutParamConvertsAsTheRuntimeWouldOrFailsWithItsError) {
  host::Workbook& wb = Open("layout_values.xlsx");
  const std::string subscript = "インデックスが有効範囲にありません。";
  const std::string mismatch = "型が一致しません。";
  const struct {
    const char* name;
    std::int32_t row, col;  // left in the arguments, error or not
    long number;            // 0: no error
    std::string description;
  } cases[] = {{"P_PLAIN", 5, 3, 0, ""},
               {"P_BLANKS", 5, 3, 0, ""},  // "  5 ,  3 "
               {"P_THREE", 5, 3, 0, ""},   // a third number is ignored
               {"P_EDGE", 32767, -32768, 0, ""},
               {"P_HALF", 2, 4, 0, ""},  // 2.5,3.5: halves go to the even neighbour
               {"P_ZERO_ROW", 0, 3, 20001, Unset("P_ZERO_ROW")},
               {"P_ZERO_COL", 5, 0, 20001, Unset("P_ZERO_COL")},  // both stored before the test
               {"P_NO_COMMA", 5, -1, 9, subscript},
               {"P_EMPTY", -1, -1, 9, subscript},
               {"P_NUMBER", 5, -1, 9, subscript},  // a number property reads as "5"
               {"NO_SUCH", -1, -1, 9, subscript},
               {"P_TEXT", -1, -1, 13, mismatch},
               {"P_TRAILING", 5, -1, 13, mismatch},  // "5,"
               {"P_BIG", -1, -1, 6, "オーバーフローしました。"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::int32_t row = -1, col = -1;
    if (c.number == 0) {
      Defines::GetLayoutParam(wb, c.name, row, col);
    } else {
      ExpectError([&] { Defines::GetLayoutParam(wb, c.name, row, col); }, c.number, c.description);
    }
    EXPECT_EQ(row, c.row);
    EXPECT_EQ(col, c.col);
  }
}

TEST_F(LayoutTest, AFailedLoadReplacesOnlyThePositionsUpToTheFailingOne) {
  defines_.LoadLayout(Open("column_blocks.xlsx"));   // CONSTRAINT_TYPE 6,18
  host::Workbook& bad = Open("layout_values.xlsx");  // INDEX_NAME 0,3
  ExpectError([&] { defines_.LoadLayout(bad); }, 20001, Unset("INDEX_NAME"));
  EXPECT_EQ(defines_.layout().table_number.col, 21);
  EXPECT_EQ(defines_.layout().index_name.row, 0);
  EXPECT_EQ(defines_.layout().index_name.col, 3);
  EXPECT_EQ(defines_.layout().constraint_type.col, 18);
}

TEST_F(LayoutTest, DocPropertiesAreTextAndAnAbsentOneIsEmpty) {
  host::Workbook& wb = Open("layout_values.xlsx");
  const struct {
    const char* name;
    bool exists;
    const char* text;
  } cases[] = {{"DB", true, "SQL"},
               {"db", false, ""},
               {"P_NUMBER", true, "5"},
               {"P_EMPTY", true, ""},
               {"NOTHING", false, ""}};
  for (const auto& c : cases) {
    EXPECT_EQ(Defines::DocPropertyExists(wb, c.name), c.exists) << c.name;
    EXPECT_EQ(Defines::GetDocProperty(wb, c.name), c.text) << c.name;
  }
  const int count = wb.CustomDocumentProperties().Count();
  Defines::SetDocProperty(wb, "DATABASE", "売上");
  Defines::SetDocProperty(wb, "DATABASE", "在庫");
  EXPECT_EQ(wb.CustomDocumentProperties().Count(), count + 1);
  EXPECT_EQ(Defines::GetDocProperty(wb, "DATABASE"), "在庫");
}

}  // namespace
}  // namespace kastel::model
