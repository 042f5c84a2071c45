// Cells.Find on sheets written by openpyxl.
#include <gtest/gtest.h>

#include "sheet_fixture.h"
#include "xlsx/a1.h"

namespace kastel::xlsx::testing {
namespace {

using host::CellPos;
using host::FindOptions;
using host::SearchOrder;

constexpr auto kRows = SearchOrder::kByRows;
constexpr auto kColumns = SearchOrder::kByColumns;

struct Search {
  const char* what;
  CellPos after;
  SearchOrder order;
  bool whole_cell;
  bool match_case;
  std::optional<CellPos> found;
};

// The "find" sheet: B2 12 (a number), B3 "12", C8 "ID", C9 "Name", C10 "name", E9 "NAME",
// G1 "ＩＤ", G2 "ｉｄ", H5 "テーブル定義書", J7 "prefix Name suffix", K1 TRUE.
TEST(SheetFindTest, FindStartsAfterTheGivenCellAndWrapsInTheGivenOrder) {
  const Search cases[] = {
      {"テーブル定義書", {1, 1}, kRows, true, false, CellPos{5, 8}},
      {"テーブル定義書", {5, 8}, kRows, true, false, CellPos{5, 8}},  // itself, last
      {"テーブル定義書", {9, 9}, kRows, true, false, CellPos{5, 8}},  // wrapped
      {"name", {7, 3}, kColumns, true, false, CellPos{9, 3}},
      {"name", {9, 3}, kColumns, true, false, CellPos{10, 3}},
      {"name", {10, 3}, kColumns, true, false, CellPos{9, 5}},
      {"name", {9, 5}, kColumns, true, false, CellPos{9, 3}},  // wrapped
      {"name", {1, 1}, kRows, true, false, CellPos{9, 3}},
      {"name", {9, 3}, kRows, true, false, CellPos{9, 5}},
      {"name", {9, 5}, kRows, true, false, CellPos{10, 3}},
      {"name", {10, 3}, kRows, true, false, CellPos{9, 3}},    // wrapped
      {"name", {10, 3}, kRows, false, false, CellPos{7, 10}},  // part of J7, first after wrap
      {"name", {1, 1}, kRows, true, true, CellPos{10, 3}},     // case matters
      {"Name", {1, 1}, kColumns, false, true, CellPos{9, 3}},
      {"id", {7, 3}, kColumns, true, false, CellPos{8, 3}},
      {"ｉｄ", {1, 1}, kRows, true, false, CellPos{1, 7}},  // full-width letters
      {"ＩＤ", {1, 7}, kRows, true, false, CellPos{2, 7}},
      {"12", {1, 1}, kRows, true, false, CellPos{2, 2}},  // the number 12
      {"12", {2, 2}, kRows, true, false, CellPos{3, 2}},  // the text "12"
      {"true", {1, 1}, kRows, true, false, CellPos{1, 11}},
      {"1", {1, 1}, kRows, true, false, std::nullopt},
      {"", {1, 1}, kRows, true, false, std::nullopt},
      {"nothing", {1, 1}, kColumns, false, false, std::nullopt},
      {"name", {kMaxRow, kMaxColumn}, kRows, true, false, CellPos{9, 3}}};
  SheetUnderTest sheet(FixtureDir() + "/cells.xlsx", "find");
  for (const Search& c : cases) {
    FindOptions options;
    options.what = c.what;
    options.after = c.after;
    options.order = c.order;
    options.whole_cell = c.whole_cell;
    options.match_case = c.match_case;
    const auto found = sheet.data().Find(options);
    EXPECT_EQ(found, c.found) << c.what << " after (" << c.after.row << "," << c.after.column
                              << ") order " << static_cast<int>(c.order) << ": got "
                              << (found ? found->row : 0) << "," << (found ? found->column : 0);
  }
}

TEST(SheetFindTest, FindSeesCellsAsTheyAreAfterWritesAndClears) {
  SheetUnderTest sheet(FixtureDir() + "/cells.xlsx", "find");
  FindOptions options;
  options.what = "name";
  options.after = {7, 3};
  options.order = kColumns;
  ASSERT_EQ(sheet.data().Find(options), (CellPos{9, 3}));  // fills the cache

  sheet.data().Set(9, 3, Value::Text("Other"));
  EXPECT_EQ(sheet.data().Find(options), (CellPos{10, 3}));
  sheet.data().Set(8, 4, Value::Text("NaMe"));  // a new cell in a column searched later
  sheet.data().ClearContents("C10");
  EXPECT_EQ(sheet.data().Find(options), (CellPos{8, 4}));
  options.what = "other";
  EXPECT_EQ(sheet.data().Find(options), (CellPos{9, 3}));
  sheet.data().Set(9, 3, Value::Date(45296));
  options.what = "2024/01/05";
  EXPECT_EQ(sheet.data().Find(options), (CellPos{9, 3}));
}

}  // namespace
}  // namespace kastel::xlsx::testing
