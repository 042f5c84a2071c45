// Cells.Find over the cell cache of a sheet written by openpyxl, as cells change.
#include <gtest/gtest.h>

#include "sheet_fixture.h"

namespace kastel::xlsx::testing {
namespace {

using host::CellPos;
using host::FindOptions;

constexpr auto kColumns = host::SearchOrder::kByColumns;

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
