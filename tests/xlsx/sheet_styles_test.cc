// Which number formats make a number a date, and the date formats added for written dates.
#include <gtest/gtest.h>

#include "sheet_fixture.h"

namespace kastel::xlsx::testing {
namespace {

// Sheet "formats": row i holds 45296.25 in the i-th format of the fixture script's FORMATS.
TEST(SheetStylesTest, DateAndTimeFormatsMakeNumbersDates) {
  const struct {
    const char* code;
    bool date;
  } cases[] = {{"yyyy/mm/dd", true},
               {"General", false},
               {"0.00E+00", false},
               {"\"Day\" 0", false},
               {"[Red]0.00", false},
               {"[h]:mm:ss", true},
               {"h:mm AM/PM", true},
               {"[$-411]ge.m.d", true},
               {"#,##0", false},
               {"0%", false},
               {"\\d0", false},
               {"@", false},
               {"mm:ss", true},
               {"[$-F800]dddd, mmmm dd, yyyy", true},
               {"_(* #,##0_)", false},
               {"mm-dd-yy", true},     // built-in 14
               {"m/d/yy h:mm", true},  // built-in 22
               {"yyyy\"年\"m\"月\"d\"日\"", true},
               {"\"yes\";\"no\"", false},
               {"0.0E-0", false}};
  SheetUnderTest sheet(FixtureDir() + "/cells.xlsx", "formats");
  int row = 0;
  for (const auto& c : cases) {
    ++row;
    ASSERT_EQ(sheet.data().Get(row, 2), Value::Text(c.code)) << "fixture out of step, row " << row;
    const Value value = sheet.data().Get(row, 1);
    EXPECT_EQ(value, c.date ? Value::Date(45296.25) : Value::Number(45296.25)) << c.code;
  }
}

int CellXfCount(Package& package) {
  int count = 0;
  for (pugi::xml_node xf : package.Xml("xl/styles.xml").document_element().child("cellXfs")) {
    count += std::string_view(xf.name()) == "xf";
  }
  return count;
}

TEST(SheetStylesTest, WrittenDatesShareOneAddedFormatPerBaseStyle) {
  SheetUnderTest sheet(FixtureDir() + "/cells.xlsx", "cells");
  const int before = CellXfCount(sheet.package());
  auto style = [&](const char* cell) {
    pugi::xml_node c = sheet.package()
                           .Xml("xl/worksheets/sheet1.xml")
                           .select_node((std::string("//*[@r='") + cell + "']").c_str())
                           .node();
    return std::string(c.attribute("s").value());
  };
  const std::string date_style = style("A7");

  sheet.data().Set(3, 1, Value::Date(45296));   // A3: no style
  sheet.data().Set(4, 1, Value::Date(45297));   // A4: no style either
  sheet.data().Set(19, 1, Value::Date(45298));  // A19: "0.00"
  sheet.data().Set(7, 1, Value::Date(45299));   // A7: already a date format

  EXPECT_EQ(CellXfCount(sheet.package()), before + 2);
  EXPECT_EQ(style("A3"), style("A4"));
  EXPECT_NE(style("A3"), style("A19"));
  EXPECT_EQ(style("A7"), date_style);
  for (int row : {3, 4, 19, 7}) {
    EXPECT_EQ(sheet.data().Get(row, 1).kind(), Value::Kind::kDate) << "row " << row;
  }
  const std::string count = sheet.package()
                                .Xml("xl/styles.xml")
                                .document_element()
                                .child("cellXfs")
                                .attribute("count")
                                .value();
  EXPECT_EQ(count, std::to_string(before + 2));
}

}  // namespace
}  // namespace kastel::xlsx::testing
