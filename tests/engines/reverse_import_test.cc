// The schema import through the add-in's button, the real login view and the replaying data
// adapter, checked cell by cell on workbooks made from the default template.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/defines.h"
#include "reverse_host.h"

namespace kastel::testing {
namespace {

term::LoginAnswers SqlAnswers() {
  term::LoginAnswers a;
  a.server = "db1";
  a.auth = "sql";
  a.user = "sa";
  a.database = "sales";
  return a;
}

term::LoginAnswers OraAnswers() {
  term::LoginAnswers a;
  a.user = "scott";
  a.database = "orcl";
  return a;
}

struct ExpectedSheet {
  std::string table;
  std::string title;
  std::vector<std::string> columns;  // rows 8, 9, ...
  std::vector<std::string> indexes;
};

void ExpectSheet(host::Workbook& wb, const ExpectedSheet& want) {
  SCOPED_TRACE(want.table);
  host::Worksheet* ws = SheetOfTable(wb, want.table);
  ASSERT_NE(ws, nullptr);
  EXPECT_EQ(CellText(*ws, 5, 3), want.title);
  std::vector<std::string> columns;
  // A row counts while its name or its data type is filled: an Oracle comment may empty the name.
  for (int row = 8; !(CellText(*ws, row, 3) + CellText(*ws, row, 5)).empty(); ++row) {
    columns.push_back(ColumnRowText(*ws, row));
  }
  EXPECT_EQ(columns, want.columns);
  EXPECT_EQ(IndexBlockText(*ws), want.indexes);
}

TEST(ReverseImportTest, SqlServerCatalogueFillsOneSheetPerTableCellByCell) {
  ImportHost host(LoadRecording(CatalogFixture("sql_catalog.txt")), SqlAnswers());
  host::Workbook& wb = host.NewBook("SQL");
  host.PressReverse();
  EXPECT_EQ(host.failures(), 0) << host.err();

  const std::vector<ExpectedSheet> sheets = {
      {"CUSTOMER",
       "顧客",
       {"CUST_ID|顧客ID|int|否|IDENTITY| H=1", "NAME|氏名|nvarchar(40)|否||全角で入力する",
        "RANK||decimal(3,0)||0|", "NOTE|備考|text|||改行\nを含む"},
       {"PK_CUSTOMER|P"}},
      // A default of the empty string keeps both its apostrophes.
      {"Item", "", {"ITEM_CD|品目コード|char(8)|否|''| H=1"}, {"PK_Item|P"}},
      // The same sheet took both ORDERS and orders; the later one in catalogue order stays.
      {"orders", "小文字の受注", {"x|エックス|bit|||"}, {}}};
  for (const ExpectedSheet& s : sheets) ExpectSheet(wb, s);
  EXPECT_EQ(SheetOfTable(wb, "ORDERS"), nullptr);

  // Three sheets before the template, renumbered by the table list refresh.
  EXPECT_EQ(wb.WorksheetCount(), 6);
  for (int i : {3, 4, 5}) EXPECT_EQ(wb.Worksheets(i).Name(), std::to_string(i - 2));
  EXPECT_EQ(CellText(wb.Worksheets("テーブル一覧"), 5, 3), "CUSTOMER");
  EXPECT_EQ(CellText(wb.Worksheets("テーブル一覧"), 5, 5), "PK_CUSTOMER");

  const std::vector<std::string> calls = {
      "open Provider=SQLOLEDB;Data Source=db1;Persist Security Info=True;Password=secret;"
      "User ID=sa;Initial Catalog=sales",
      "batch",
      "select temp",
      "schema 12",
      "schema 12",
      "schema 12",
      "schema 12",
      "close"};
  EXPECT_EQ(host.log().calls, calls);
  EXPECT_EQ(host.log().open_connections, 0);
  EXPECT_EQ(host.status(),
            "'CUSTOMER'を処理中です。\n'Item'を処理中です。\n'ORDERS'を処理中です。\n"
            "'orders'を処理中です。\n");
}

TEST(ReverseImportTest, IndexesComeKeyFirstWithCompositeKeysInEitherOrder) {
  // ORDERS alone: its sheet is not overwritten by the lower-case twin.
  Recording rec = LoadRecording(CatalogFixture("sql_catalog.txt"));
  rec.schema->rows.pop_back();
  ImportHost host(rec, SqlAnswers());
  host::Workbook& wb = host.NewBook("SQL");
  host.PressReverse();
  ExpectSheet(wb, {"ORDERS",
                   "受注",
                   {"ORDER_NO|受注番号|int|否|| H=1 I=2", "LINE_NO|行番号|smallint|否|1| H=2 I=1",
                    "CUST_ID|顧客ID|int||| J=1"},
                   {"PK_ORDERS|P", "UQ_ORDERS_LINE|U", "IX_ORDERS_CUST|I", "IX_ORDERS_GONE|I"}});
}

TEST(ReverseImportTest, OracleDictionaryFollowsTheCommentsAndNeverLoops) {
  ImportHost host(LoadRecording(CatalogFixture("ora_catalog.txt")), OraAnswers());
  host::Workbook& wb = host.NewBook("ORA");
  host.PressReverse();
  EXPECT_EQ(host.failures(), 0) << host.err();

  const std::vector<ExpectedSheet> sheets = {
      {"Dept",
       "部門",
       {"DeptNo|部門番号|NUMBER(2)|否||主キー H=1 I=2", "DName|部門名|VARCHAR2(14)||'未定'| I=1",
        "BUDGET||NUMBER||0|予算の見込み額"},
       {"PK_Dept|P", "IX_Dept_NAME|I"}},
      {"EMP", "", {"EMPNO||NUMBER(4)|否||", "|入社日|DATE||SYSDATE|a"}, {}},
      // A comment naming another table, or no table, leaves the catalogue's name in charge.
      {"OLD_NAME",
       "改名前の表",
       {"ID|識別子|NUMBER(10)|否|| H=2", "NM|名前|VARCHAR2(20)||| H=1"},
       {"UQ_OLD_NAME|U"}},
      {"X", "空の名前", {"C1||CHAR(1)|||"}, {}}};
  for (const ExpectedSheet& s : sheets) ExpectSheet(wb, s);
  EXPECT_EQ(host.log().calls.front(),
            "open Provider=MSDAORA;Data Source=orcl;User ID=scott;Password=secret;");
  const std::vector<std::string> queries(host.log().calls.begin() + 1, host.log().calls.end());
  EXPECT_EQ(queries,
            (std::vector<std::string>{"query schema", "query index Dept", "query index EMP",
                                      "query index OLD_NAME", "query index X", "close"}));
}

TEST(ReverseImportTest, ProgressLinesCountTheTablesDoneOutOfTheTotal) {
  ImportHost host(LoadRecording(CatalogFixture("ora_catalog.txt")), OraAnswers());
  host.kastel().engine_context().status_counts = true;
  host.NewBook("ORA");
  host.PressReverse();
  EXPECT_EQ(
      host.status(),
      "'Dept'を処理中です。 (1/4)\n'EMP'を処理中です。 (2/4)\n'OLD_NAME'を処理中です。 (3/4)\n"
      "'X'を処理中です。 (4/4)\n");
  // Counting read the rows once more; the import still wrote every table.
  EXPECT_EQ(host.failures(), 0) << host.err();
  EXPECT_EQ(host.log().calls.size(), 7u);
}

}  // namespace
}  // namespace kastel::testing
