// Finding and creating definition sheets, the template sheet and the data-type list, on
// workbooks written by openpyxl.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "book_fixture.h"
#include "support.h"

namespace kastel::model {
namespace {

using kastel::testing::ExpectError;

using SheetsTest = BookTest;

TEST_F(SheetsTest, GetSheetFindsTheFirstMatchIgnoringCaseOrMakesOneBeforeTheTemplate) {
  host::Workbook& wb = OpenLoaded("lookup.xlsx");
  const int count = wb.WorksheetCount();
  // "customer" on sheet a wins over "CUSTOMER" on sheet b; hidden sheets count.
  const struct {
    const char* table;
    const char* sheet;
  } cases[] = {{"CUSTOMER", "a"}, {"customer", "a"}, {"Secret", "c"}};
  for (const auto& c : cases) {
    host::Worksheet* ws = defines_.GetSheet(c.table, wb, false);
    EXPECT_EQ(ws == nullptr ? "<none>" : ws->Name(), c.sheet) << c.table;
  }
  EXPECT_EQ(defines_.GetSheet("NEW_T", wb, false), nullptr);
  host::Worksheet* created = defines_.GetSheet("NEW_T", wb, true);
  ASSERT_EQ(wb.WorksheetCount(), count + 1);
  EXPECT_EQ(created, &wb.Worksheets(count));
  EXPECT_EQ(created->Name(), "NEW_T");
  EXPECT_NE(created->Visible(), host::Visibility::kHidden);
  EXPECT_EQ(wb.Worksheets(count + 1).Visible(), host::Visibility::kHidden);  // the template
  EXPECT_EQ(defines_.failures_shown(), 0);
}

TEST_F(SheetsTest, DispTemplateTogglesAndSelectsOnlyWhenShowing) {
  host::Workbook& wb = Open("three_sheets.xlsx");
  host::Worksheet& templ = wb.Worksheets("template");
  defines_.DispTemplate(wb);
  EXPECT_NE(templ.Visible(), host::Visibility::kHidden);
  EXPECT_EQ(&wb.ActiveSheet(), &templ);
  wb.Worksheets(1).Activate();
  defines_.DispTemplate(wb);
  EXPECT_EQ(templ.Visible(), host::Visibility::kHidden);
  EXPECT_EQ(wb.ActiveSheet().Name(), "テーブル一覧");
}

TEST_F(SheetsTest, SetDataTypeListFollowsTheDialectOfAMarkedWorkbookOnly) {
  const struct {
    const char* book;
    std::optional<std::string> dialect;  // set first
    std::optional<std::string> refers_to;
  } cases[] = {{"three_sheets.xlsx", std::nullopt, "='@LIST'!$B$2:$B$28"},
               {"three_sheets.xlsx", "ORA", "='@LIST'!$C$2:$C$21"},
               {"three_sheets.xlsx", "PGS", "='@LIST'!$D$2:$D$32"},
               {"three_sheets.xlsx", "ora", "='@LIST'!$B$2:$B$28"},
               {"lower_mark.xlsx", "ORA", "='@LIST'!$B$2:$B$28"},  // "db": left alone
               {"plain.xlsx", "ORA", std::nullopt}};
  for (const auto& c : cases) {
    host::Workbook& wb = Open(c.book);
    if (c.dialect) Defines::SetDocProperty(wb, "DB", *c.dialect);
    Defines::SetDataTypeList(wb);
    EXPECT_EQ(wb.WorkbookNames().RefersTo("DATA_TYPE"), c.refers_to) << c.book;
    app_.Close(wb);
  }
  host::Workbook& unnamed = Open("no_data_type.xlsx");
  ExpectError([&] { Defines::SetDataTypeList(unnamed); }, 9,
              "インデックスが有効範囲にありません。");
}

}  // namespace
}  // namespace kastel::model
