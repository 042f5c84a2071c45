// Finding and creating definition sheets, the template sheet and the data-type list, on
// workbooks written by openpyxl.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "book_fixture.h"
#include "model/defines.h"
#include "model_test_util.h"

namespace kastel::model {
namespace {

using SheetsTest = BookTest;

std::string NameOf(host::Worksheet* ws) { return ws == nullptr ? "<none>" : ws->Name(); }

TEST_F(SheetsTest, GetSheetFindsTheFirstSheetWhoseTableNameMatchesIgnoringCase) {
  host::Workbook& wb = OpenLoaded("lookup.xlsx");
  const int count = wb.WorksheetCount();
  const struct {
    const char* table;
    const char* sheet;
  } cases[] = {
      {"CUSTOMER", "a"},  // lower case on the earlier sheet; the duplicate on "b" loses
      {"customer", "a"},
      {"Secret", "c"},  // hidden sheets are searched as well
      {"NONE", "<none>"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(NameOf(defines_.GetSheet(c.table, wb, false)), c.sheet) << c.table;
  }
  EXPECT_EQ(wb.WorksheetCount(), count);
  EXPECT_EQ(defines_.failures_shown(), 0);
}

TEST_F(SheetsTest, GetSheetCreatesOneVisibleCopyJustBeforeTheTemplate) {
  host::Workbook& wb = OpenLoaded("lookup.xlsx");
  const int count = wb.WorksheetCount();
  host::Worksheet* created = defines_.GetSheet("NEW_TABLE", wb, true);
  ASSERT_NE(created, nullptr);
  EXPECT_EQ(wb.WorksheetCount(), count + 1);
  EXPECT_EQ(&wb.Worksheets(count), created);
  EXPECT_EQ(created->Name(), "NEW_TABLE");
  EXPECT_NE(created->Visible(), host::Visibility::kHidden);
  EXPECT_EQ(wb.Worksheets(count + 1).Name(), "template");
  EXPECT_EQ(wb.Worksheets(count + 1).Visible(), host::Visibility::kHidden);
  // Found, not created again.
  created->SetCell(4, 3, Value::Text("new_table"));
  EXPECT_EQ(defines_.GetSheet("NEW_TABLE", wb, true), created);
  EXPECT_EQ(wb.WorksheetCount(), count + 1);
}

TEST_F(SheetsTest, GetSheetReportsARefusedNameAndReturnsTheCopyItMade) {
  host::Workbook& wb = OpenLoaded("lookup.xlsx");
  const int count = wb.WorksheetCount();
  host::Worksheet* created = defines_.GetSheet("A:B", wb, true);
  EXPECT_NE(created, nullptr);
  EXPECT_EQ(wb.WorksheetCount(), count + 1);
  EXPECT_EQ(defines_.failures_shown(), 1);
  EXPECT_NE(err_.str(), "");
}

TEST_F(SheetsTest, GetSheetWithoutATemplateSheetReportsAndReturnsNothing) {
  host::Workbook& wb = Open("plain.xlsx");
  defines_.LoadLayout(Open("lookup.xlsx"));
  EXPECT_EQ(defines_.GetSheet("T", wb, true), nullptr);
  EXPECT_EQ(err_.str(), "インデックスが有効範囲にありません。\n");
  EXPECT_EQ(defines_.failures_shown(), 1);
}

TEST_F(SheetsTest, DispTemplateTogglesAndSelectsOnlyWhenShowing) {
  host::Workbook& wb = Open("three_sheets.xlsx");
  host::Worksheet& templ = wb.Worksheets("template");
  ASSERT_EQ(templ.Visible(), host::Visibility::kHidden);
  defines_.DispTemplate(wb);
  EXPECT_NE(templ.Visible(), host::Visibility::kHidden);
  EXPECT_EQ(wb.ActiveSheet().Name(), "template");
  wb.Worksheets(1).Activate();
  defines_.DispTemplate(wb);
  EXPECT_EQ(templ.Visible(), host::Visibility::kHidden);
  EXPECT_EQ(wb.ActiveSheet().Name(), "テーブル一覧");
  EXPECT_EQ(defines_.failures_shown(), 0);
}

TEST_F(SheetsTest, DispTemplateReportsAMissingTemplateSheet) {
  defines_.DispTemplate(Open("plain.xlsx"));
  EXPECT_EQ(err_.str(), "インデックスが有効範囲にありません。\n");
  EXPECT_EQ(defines_.failures_shown(), 1);
}

TEST_F(SheetsTest, SetDataTypeListFollowsTheDialectOfADefinitionWorkbook) {
  const struct {
    const char* book;
    std::optional<std::string> dialect;  // set before the call
    std::optional<std::string> refers_to;
  } cases[] = {
      {"three_sheets.xlsx", std::nullopt, "='@LIST'!$B$2:$B$28"},
      {"three_sheets.xlsx", "ORA", "='@LIST'!$C$2:$C$21"},
      {"three_sheets.xlsx", "PGS", "='@LIST'!$D$2:$D$32"},
      {"three_sheets.xlsx", "ora", "='@LIST'!$B$2:$B$28"},
      {"three_sheets.xlsx", "", "='@LIST'!$B$2:$B$28"},
      {"lookup.xlsx", std::nullopt, "='@LIST'!$C$2:$C$21"},
      {"lower_mark.xlsx", "ORA", "='@LIST'!$B$2:$B$28"},  // not marked: left alone
      {"plain.xlsx", "ORA", std::nullopt},
  };
  for (const auto& c : cases) {
    host::Workbook& wb = Open(c.book);
    if (c.dialect) Defines::SetDocProperty(wb, "DB", *c.dialect);
    Defines::SetDataTypeList(wb);
    EXPECT_EQ(wb.WorkbookNames().RefersTo("DATA_TYPE"), c.refers_to) << c.book;
    app_.Close(wb);
  }
}

TEST_F(SheetsTest, SetDataTypeListFailsWhenTheNameIsMissing) {
  host::Workbook& wb = Open("no_data_type.xlsx");
  ExpectError([&] { Defines::SetDataTypeList(wb); }, 9, "インデックスが有効範囲にありません。");
}

}  // namespace
}  // namespace kastel::model
