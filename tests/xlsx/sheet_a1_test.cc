// Cell addresses in A1 and R1C1 form.
#include <gtest/gtest.h>

#include "xlsx/a1.h"

namespace kastel::xlsx {
namespace {

TEST(A1Test, ColumnNamesRunFromAToXfd) {
  const struct {
    int column;
    const char* name;
  } cases[] = {{1, "A"},   {26, "Z"},   {27, "AA"},   {52, "AZ"},
               {53, "BA"}, {702, "ZZ"}, {703, "AAA"}, {16384, "XFD"}};
  for (const auto& c : cases) {
    EXPECT_EQ(ColumnName(c.column), c.name) << c.column;
    auto parsed = ParseCell(std::string(c.name) + "1");
    ASSERT_TRUE(parsed) << c.name;
    EXPECT_EQ(parsed->column, c.column) << c.name;
  }
  EXPECT_EQ(CellName(520, 18), "R520");
}

TEST(A1Test, ParseCellAcceptsOnlyCellsInsideTheSheet) {
  const struct {
    const char* text;
    int row;  // 0: rejected
    int column;
  } cases[] = {{"B3", 3, 2},   {"$B$3", 3, 2},     {"b3", 3, 2},  {"XFD1048576", 1048576, 16384},
               {"XFE1", 0, 0}, {"A1048577", 0, 0}, {"A0", 0, 0},  {"A01", 0, 0},
               {"3", 0, 0},    {"B", 0, 0},        {"", 0, 0},    {"B3:C4", 0, 0},
               {"$$B3", 0, 0}, {"ABCD1", 0, 0},    {"B3 ", 0, 0}, {"B-3", 0, 0}};
  for (const auto& c : cases) {
    auto parsed = ParseCell(c.text);
    if (c.row == 0) {
      EXPECT_FALSE(parsed) << c.text;
    } else {
      ASSERT_TRUE(parsed) << c.text;
      EXPECT_EQ(*parsed, (CellRef{c.row, c.column})) << c.text;
    }
    // The quick reading of whole sheets takes a reference only as ParseCell does, or not at all.
    for (const int row : {c.row, 1, 3, 1048576, 1048577}) {
      const int plain = PlainCellColumn(c.text, row);
      EXPECT_TRUE(plain == 0 || (row == c.row && plain == c.column)) << c.text << " in " << row;
    }
  }
  EXPECT_EQ(PlainCellColumn("XFD1048576", 1048576), 16384);
}

TEST(A1Test, ParseRangeReadsCellsRowsAndColumnsInEitherOrder) {
  const struct {
    const char* text;
    bool ok;
    CellRef first, last;
  } cases[] = {{"C8:R520", true, {8, 3}, {520, 18}},
               {"$B$3:$V$37", true, {3, 2}, {37, 22}},
               {"U6", true, {6, 21}, {6, 21}},
               {"R520:C8", true, {8, 3}, {520, 18}},
               {"C8:A1", true, {1, 1}, {8, 3}},
               {"A:C", true, {1, 1}, {kMaxRow, 3}},
               {"$3:$5", true, {3, 1}, {5, kMaxColumn}},
               {"A:3", false, {}, {}},
               {"A1:3", false, {}, {}},
               {"A1:", false, {}, {}},
               {":A1", false, {}, {}},
               {"A", false, {}, {}},
               {"Sheet1!A1", false, {}, {}}};
  for (const auto& c : cases) {
    auto parsed = ParseRange(c.text);
    ASSERT_EQ(parsed.has_value(), c.ok) << c.text;
    if (!c.ok) continue;
    EXPECT_EQ(parsed->first, c.first) << c.text;
    EXPECT_EQ(parsed->last, c.last) << c.text;
  }
}

TEST(A1Test, SheetNamesAreQuotedAndSplitBack) {
  const struct {
    const char* name;
    const char* quoted;
  } cases[] = {{"@LIST", "'@LIST'"},
               {"1", "'1'"},
               {"O'Neil", "'O''Neil'"},
               {"テーブル一覧", "'テーブル一覧'"}};
  for (const auto& c : cases) {
    EXPECT_EQ(QuoteSheetName(c.name), c.quoted);
    auto split = SplitSheetRef(std::string(c.quoted) + "!R1C1");
    ASSERT_TRUE(split) << c.quoted;
    EXPECT_EQ(split->first, c.name);
    EXPECT_EQ(split->second, "R1C1");
  }
  auto plain = SplitSheetRef("Sheet1!A1:B2");
  ASSERT_TRUE(plain);
  EXPECT_EQ(plain->first, "Sheet1");
  EXPECT_EQ(plain->second, "A1:B2");
  EXPECT_FALSE(SplitSheetRef("A1"));
  EXPECT_FALSE(SplitSheetRef("'unclosed!A1"));
  EXPECT_FALSE(SplitSheetRef("!A1"));
}

TEST(A1Test, R1C1ToA1ConvertsAbsoluteReferencesAndRejectsRelativeOnes) {
  const struct {
    const char* r1c1;
    const char* a1;  // nullptr: rejected
  } cases[] = {{"R2C3:R21C3", "$C$2:$C$21"},
               {"R1C1", "$A$1"},
               {"='@LIST'!R2C2:R28C2", "'@LIST'!$B$2:$B$28"},
               {"1!R1C1", "'1'!$A$1"},
               {"r2c4:r32c4", "$D$2:$D$32"},
               {"R2:R5", "$2:$5"},
               {"C3", "$C:$C"},
               {"R1048576C16384", "$XFD$1048576"},
               {"R1048577C1", nullptr},
               {"R[1]C[-1]", nullptr},
               {"RC", nullptr},
               {"R2C", nullptr},
               {"R0C1", nullptr},
               {"R2C3:C4", nullptr},
               {"A1", nullptr},
               {"", nullptr},
               {"'x'!", nullptr}};
  for (const auto& c : cases) {
    auto a1 = R1C1ToA1(c.r1c1);
    if (c.a1 == nullptr) {
      EXPECT_FALSE(a1) << c.r1c1 << " gave " << a1.value_or("");
    } else {
      EXPECT_EQ(a1.value_or("(nothing)"), c.a1) << c.r1c1;
    }
  }
  EXPECT_EQ(R1C1ToA1("R2C3:R21C3", false).value_or(""), "C2:C21");
}

}  // namespace
}  // namespace kastel::xlsx
