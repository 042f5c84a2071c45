// The table list rebuilt on workbooks written by openpyxl and LibreOffice, read back by openpyxl.
#include <gtest/gtest.h>

#include <string>

#include "book_fixture.h"
#include "model/defines.h"

namespace kastel::model {
namespace {

using testing::Get;
using TableListTest = BookTest;

// What RefreshList makes of three_sheets.xlsx, whichever program wrote it.
void ExpectThreeSheetsRefreshed(const std::map<std::string, std::string>& dump) {
  const struct {
    const char* key;
    const char* value;
  } facts[] = {
      // Definition sheets renamed in tab order; the others keep their names.
      {"sheet 1", "visible テーブル一覧"},
      {"sheet 2", "visible 1"},
      {"sheet 3", "hidden 隠し"},
      {"sheet 4", "visible メモ"},
      {"sheet 5", "visible 2"},
      {"sheet 6", "visible 3"},
      {"sheet 7", "hidden @LIST"},
      {"sheet 8", "hidden template"},
      // Number cells.
      {"cell 1!U3", "1"},
      {"cell 2!U3", "2"},
      {"cell 3!U3", "3"},
      {"cell 隠し!U3", "<none>"},
      {"cell メモ!U3", "<none>"},
      {"cell template!U3", "<none>"},
      // The list: name, title, primary key, column count, link.
      {"cell テーブル一覧!C5", "CUSTOMER"},
      {"cell テーブル一覧!D5", "顧客"},
      {"cell テーブル一覧!E5", "PK_CUSTOMER"},
      {"cell テーブル一覧!F5", "3"},
      {"link テーブル一覧!C5", "'1'!A1"},
      {"cell テーブル一覧!C6", "ORDERS"},
      {"cell テーブル一覧!D6", "注文"},
      {"cell テーブル一覧!E6", "PK_ORDERS"},
      {"cell テーブル一覧!F6", "5"},
      {"link テーブル一覧!C6", "'2'!A1"},
      // A sheet without a table name is listed with "？".
      {"cell テーブル一覧!C7", "？"},
      {"cell テーブル一覧!D7", "名無し"},
      {"cell テーブル一覧!E7", "<none>"},
      {"cell テーブル一覧!F7", "0"},
      {"link テーブル一覧!C7", "'3'!A1"},
      {"cell テーブル一覧!C8", "<none>"},
      {"link テーブル一覧!C8", "<none>"},
      // Short lists and short column blocks keep their print areas.
      {"print テーブル一覧", "$A$1:$K$34"},
      {"print 1", "$B$3:$V$37"},
  };
  for (const auto& f : facts) EXPECT_EQ(Get(dump, f.key), f.value) << f.key;
}

TEST_F(TableListTest, RefreshRenumbersDefinitionSheetsAndListsThemWithLinks) {
  for (const char* book : {"three_sheets.xlsx", "lo/three_sheets.xlsx"}) {
    SCOPED_TRACE(book);
    host::Workbook& wb = Open(book);
    defines_.RefreshList(wb);
    EXPECT_EQ(err_.str(), "");
    EXPECT_TRUE(app_.ScreenUpdating());
    ExpectThreeSheetsRefreshed(SaveAndDump(wb));
    app_.Close(wb);
  }
}

TEST_F(TableListTest, RefreshTwiceGivesTheSameList) {
  host::Workbook& wb = Open("three_sheets.xlsx");
  defines_.RefreshList(wb);
  defines_.RefreshList(wb);
  EXPECT_EQ(defines_.failures_shown(), 0);
  ExpectThreeSheetsRefreshed(SaveAndDump(wb));
}

TEST_F(TableListTest, ListPrintAreaGrowsOnlyBeyondRow34) {
  const struct {
    const char* book;
    const char* last_name;
    const char* print_area;
  } cases[] = {
      {"sheets30.xlsx", "T29", "$A$1:$K$34"},
      {"sheets31.xlsx", "T30", "$A$1:$K$35"},
  };
  for (const auto& c : cases) {
    host::Workbook& wb = Open(c.book);
    defines_.RefreshList(wb);
    const auto dump = SaveAndDump(wb);
    EXPECT_EQ(Get(dump, "print テーブル一覧"), c.print_area) << c.book;
    const std::string last_row = c.print_area == std::string("$A$1:$K$35") ? "35" : "34";
    EXPECT_EQ(Get(dump, "cell テーブル一覧!C" + last_row), c.last_name) << c.book;
    app_.Close(wb);
  }
  EXPECT_EQ(defines_.failures_shown(), 0);
}

TEST_F(TableListTest, SheetPrintAreaFollowsALongColumnBlock) {
  host::Workbook& wb = Open("column_blocks.xlsx");
  defines_.RefreshList(wb);
  const auto dump = SaveAndDump(wb);
  const struct {
    const char* key;
    const char* value;
  } facts[] = {
      {"cell テーブル一覧!F5", "29"},  {"print 1", "$B$3:$V$37"},   // ends on row 36
      {"cell テーブル一覧!F6", "30"},  {"print 2", "$B$3:$R$37"},   // ends on row 37
      {"cell テーブル一覧!F7", "513"}, {"print 3", "$B$3:$R$520"},  // counted to row 520
  };
  for (const auto& f : facts) EXPECT_EQ(Get(dump, f.key), f.value) << f.key;
}

TEST_F(TableListTest, RefreshClearsRowsLeftFromALongerListEvenBeyondRow204) {
  host::Workbook& wb = Open("stale_rows.xlsx");
  defines_.RefreshList(wb);
  const auto dump = SaveAndDump(wb);
  EXPECT_EQ(Get(dump, "cell テーブル一覧!C5"), "T00");
  EXPECT_EQ(Get(dump, "cell テーブル一覧!C6"), "T01");
  for (int row : {7, 100, 204, 205, 210}) {
    EXPECT_EQ(Get(dump, "cell テーブル一覧!C" + std::to_string(row)), "<none>") << row;
    EXPECT_EQ(Get(dump, "cell テーブル一覧!F" + std::to_string(row)), "<none>") << row;
  }
  EXPECT_EQ(Get(dump, "cell テーブル一覧!B204"), "200");  // outside C:K, kept
}

TEST_F(TableListTest, RefreshReportsAFailureOnceAndTurnsScreenUpdatingBackOn) {
  const struct {
    const char* book;
    const char* message;
  } cases[] = {
      {"bad_layout.xlsx", "パラメタ'INDEX_NAME'が未設定です。\n設定を確認して下さい。\n"},
      {"plain.xlsx", "インデックスが有効範囲にありません。\n"},
  };
  for (const auto& c : cases) {
    err_.str("");
    const int before = defines_.failures_shown();
    host::Workbook& wb = Open(c.book);
    defines_.RefreshList(wb);
    EXPECT_EQ(err_.str(), c.message);
    EXPECT_EQ(defines_.failures_shown(), before + 1);
    EXPECT_TRUE(app_.ScreenUpdating());
    app_.Close(wb);
  }
}

TEST_F(TableListTest, FailedRefreshLeavesTheSheetNamesAsTheyWere) {
  host::Workbook& wb = Open("bad_layout.xlsx");
  defines_.RefreshList(wb);
  const auto dump = SaveAndDump(wb);
  EXPECT_EQ(Get(dump, "sheet 2"), "visible 顧客");
  EXPECT_EQ(Get(dump, "sheet 5"), "visible 1");
  EXPECT_EQ(Get(dump, "sheet 6"), "visible XXX2");
  EXPECT_EQ(Get(dump, "cell テーブル一覧!C5"), "<none>");
}

}  // namespace
}  // namespace kastel::model
