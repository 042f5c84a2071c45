// How an import ends: cancelled, refused, failing or empty; what it keeps of an existing sheet;
// the connection parameters it stores; tables longer than the column block.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/defines.h"
#include "reverse_host.h"

namespace kastel::testing {
namespace {

using model::Defines;

term::LoginAnswers Answers(std::optional<std::string> auth, bool save) {
  term::LoginAnswers a;
  a.server = "";
  a.auth = std::move(auth);
  a.user = "sa";
  a.database = "sales";
  a.save_password = save;
  return a;
}

std::string Properties(host::Workbook& wb) {
  std::string text;
  for (const char* name :
       {"DATA_SOURCE", "INTEGRATED_SECURITY", "USER_ID", "PASSWORD", "DATABASE", "SAVE_PWD"}) {
    text += std::string(text.empty() ? "" : ";") + name + "=" + Defines::GetDocProperty(wb, name);
  }
  return text;
}

// An empty server connects to "(local)" while the stored one stays empty.
constexpr const char* kOpen =
    "open Provider=SQLOLEDB;Data Source=(local);Persist Security Info=True;Password=secret;"
    "User ID=sa;Initial Catalog=sales";

TEST(ReverseFlowTest, EndingsShowWhatHappenedAndTouchOnlyWhatTheyMay) {
  const struct {
    std::string name;
    std::string recording;  // "" for the whole SQL Server catalogue
    bool interactive;       // with no input: the dialog is cancelled
    int failures;
    std::string err;  // the exclamation messages
    std::string properties;
    int sheets;  // worksheets after the import
    std::vector<std::string> calls;
  } cases[] = {
      {"cancel",
       "",
       true,
       0,
       "",
       "DATA_SOURCE=;INTEGRATED_SECURITY=;USER_ID=;PASSWORD=;DATABASE=;SAVE_PWD=",
       3,
       {}},
      {"refused login",
       "[open-fails] ユーザー 'sa' はログインできませんでした。",
       false,
       1,
       "ユーザー 'sa' はログインできませんでした。\nkastel: 場所: テーブル定義書1 サーバー (local) "
       "データベース sales 手順: 接続\n",
       "DATA_SOURCE=;INTEGRATED_SECURITY=False;USER_ID=sa;PASSWORD=;DATABASE=sales;SAVE_PWD=False",
       3,
       {}},
      {"failing query",
       "[query-fails] 権限がありません。",
       false,
       1,
       "権限がありません。\nkastel: 場所: テーブル定義書1 サーバー (local) データベース sales "
       "手順: テーブルと列の問い合わせ\n",
       "DATA_SOURCE=;INTEGRATED_SECURITY=False;USER_ID=sa;PASSWORD=;DATABASE=sales;SAVE_PWD=False",
       3,
       {"batch", "close"}},
      {"empty catalogue",
       "[schema]\nTABLE_NAME\tTABLE_TITLE\n",
       false,
       0,
       "スキーマ情報が読み込めません。\n適切なログインを使用してください。\n",
       "DATA_SOURCE=;INTEGRATED_SECURITY=False;USER_ID=sa;PASSWORD=;DATABASE=sales;SAVE_PWD=False",
       3,
       {"batch", "select temp", "close"}}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Recording rec = ParseRecording(c.recording);
    ImportHost host(rec, Answers("sql", false), c.interactive, "");
    host::Workbook& wb = host.NewBook("SQL");
    // The list shows something the refresh would replace: it is refreshed only after a query.
    wb.Worksheets("テーブル一覧").SetCell(5, 3, Value::Text("古い行"));
    host.PressReverse();
    EXPECT_EQ(host.failures(), c.failures);
    // A cancel ends the dialog's prompts without a message after them.
    EXPECT_TRUE(host.err().ends_with(c.err.empty() ? ": \n" : c.err)) << host.err();
    EXPECT_EQ(host.out(), "");
    EXPECT_EQ(Properties(wb), c.properties);
    EXPECT_EQ(wb.WorksheetCount(), c.sheets);
    std::vector<std::string> calls = host.log().calls;
    if (!calls.empty()) {
      EXPECT_EQ(calls.front(), kOpen);
      calls.erase(calls.begin());
    }
    EXPECT_EQ(calls, c.calls);
    EXPECT_EQ(host.log().open_connections, 0);
    const std::string list = CellText(wb.Worksheets("テーブル一覧"), 5, 3);
    EXPECT_EQ(list, c.name == "failing query" ? "" : "古い行");
    EXPECT_TRUE(host.app().ScreenUpdating());
    EXPECT_EQ(host.err().find("secret"), std::string::npos);
  }
}

TEST(ReverseFlowTest, StoredParametersFollowTheAuthenticationAndTheSaveBox) {
  const struct {
    std::optional<std::string> auth;
    bool save;
    std::string dialect;
    std::string properties;
  } cases[] = {
      {"windows", true, "SQL",
       "DATA_SOURCE=;INTEGRATED_SECURITY=True;USER_ID=;PASSWORD=;DATABASE=sales;SAVE_PWD=False"},
      {"sql", true, "SQL",
       "DATA_SOURCE=;INTEGRATED_SECURITY=False;USER_ID=sa;PASSWORD=secret;DATABASE=sales;"
       "SAVE_PWD=True"},
      {std::nullopt, true, "ORA",
       "DATA_SOURCE=;INTEGRATED_SECURITY=;USER_ID=sa;PASSWORD=secret;DATABASE=sales;SAVE_PWD=True"},
      // Not ticking the box drops a password saved before.
      {std::nullopt, false, "ORA",
       "DATA_SOURCE=;INTEGRATED_SECURITY=;USER_ID=sa;PASSWORD=;DATABASE=sales;SAVE_PWD=False"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.properties);
    term::LoginAnswers answers = Answers(c.auth, c.save);
    if (c.dialect == "ORA") answers.server.reset();
    ImportHost host(ParseRecording("[schema]\nTABLE_NAME\n"), answers);
    host::Workbook& wb = host.NewBook(c.dialect);
    Defines::SetDocProperty(wb, "PASSWORD", "old");
    host.PressReverse();
    EXPECT_EQ(Properties(wb), c.properties);
    EXPECT_EQ(host.failures(), 0) << host.err();
  }
}

TEST(ReverseFlowTest, ReimportOverwritesTheFoundSheetAndKeepsCellsOutsideTheEmptiedRanges) {
  Recording rec = LoadRecording(CatalogFixture("sql_catalog.txt"));
  ImportHost host(rec, Answers("sql", false));
  host::Workbook& wb = host.NewBook("SQL");
  host.PressReverse();
  host::Worksheet* ws = SheetOfTable(wb, "CUSTOMER");
  ASSERT_NE(ws, nullptr);
  // The sheet is found by its table-name cell, whatever its tab is called.
  ws->SetName("顧客の表");
  // What a designer added by hand: a fifth column, stale indexes down to the last index row,
  // and notes outside the emptied ranges.
  ws->SetCell(12, 3, Value::Text("OLD_COL"));
  ws->SetCell(520, 18, Value::Text("最終行の備考"));
  ws->SetCell(14, 21, Value::Text("IX_OLD_9"));
  ws->SetCell(15, 21, Value::Text("IX_OLD_10"));
  ws->SetCell(15, 22, Value::Text("I"));
  ws->SetCell(7, 3, Value::Text("見出しの変更"));
  ws->SetCell(521, 3, Value::Text("ブロックの下"));
  ws->SetCell(6, 23, Value::Text("W6 の注記"));

  // The table is now called customer in the catalogue and has lost its key.
  rec.schema->rows.resize(3);
  for (auto& row : rec.schema->rows) row[0] = Value::Text("customer");
  rec.indexes->rows.clear();
  host.provider().SetRecording(rec);
  host.PressReverse();
  EXPECT_EQ(host.failures(), 0) << host.err();

  ASSERT_EQ(SheetOfTable(wb, "customer"), ws);
  EXPECT_EQ(wb.WorksheetCount(), 6) << host.err();
  EXPECT_EQ(ColumnRowText(*ws, 8), "CUST_ID|顧客ID|int|否|IDENTITY|");
  EXPECT_EQ(ColumnRowText(*ws, 10), "RANK||decimal(3,0)||0|");
  for (int row : {11, 12, 520}) EXPECT_EQ(ColumnRowText(*ws, row), "|||||") << row;
  EXPECT_TRUE(IndexBlockText(*ws).empty());
  EXPECT_EQ(CellText(*ws, 15, 22), "");
  EXPECT_EQ(CellText(*ws, 7, 3), "見出しの変更");
  EXPECT_EQ(CellText(*ws, 521, 3), "ブロックの下");
  EXPECT_EQ(CellText(*ws, 6, 23), "W6 の注記");
}

TEST(ReverseFlowTest, EveryColumnOfAWideTableIsWrittenPastTheColumnBlock) {
  std::string text =
      "[schema]\nTABLE_NAME\tTABLE_TITLE\tCOLUMN_NAME\tCOLUMN_TITLE\tDATA_TYPE\tNULLABLE\t"
      "DEFAULT_VALUE\tCOLUMN_COMMENT\n";
  for (int i = 1; i <= 530; ++i) {
    text += "WIDE\t広い表\tC" + std::to_string(i) + "\t\tint\t\t\t\n";
  }
  text +=
      "[indexes]\nTABLE_NAME\tINDEX_NAME\tPRIMARY_KEY:b\tUNIQUE:b\tORDINAL_POSITION:n\t"
      "COLUMN_NAME\nWIDE\tPK_WIDE\ttrue\ttrue\t1\tC530\n";
  ImportHost host(ParseRecording(text), Answers("sql", false));
  host::Workbook& wb = host.NewBook("SQL");
  host.PressReverse();
  EXPECT_EQ(host.failures(), 0) << host.err();
  host::Worksheet* ws = SheetOfTable(wb, "WIDE");
  ASSERT_NE(ws, nullptr);
  EXPECT_EQ(ColumnRowText(*ws, 520), "C513||int|||");
  EXPECT_EQ(ColumnRowText(*ws, 537), "C530||int||| H=1");
  EXPECT_EQ(ColumnRowText(*ws, 538), "|||||");
  // The list counts the column block only as far as row 520.
  EXPECT_EQ(CellText(wb.Worksheets("テーブル一覧"), 5, 6), "513");
}

TEST(ReverseFlowTest, ATableNameRefusedAsSheetNameIsWrittenOnTheCopyOfTheTemplate) {
  const std::string longest = "T234567890123456789012345678901X";  // 32: the catalogue's limit
  const std::string text =
      "[schema]\nTABLE_NAME\tTABLE_TITLE\tCOLUMN_NAME\tCOLUMN_TITLE\tDATA_TYPE\tNULLABLE\t"
      "DEFAULT_VALUE\tCOLUMN_COMMENT\n"
      "A:B\tコロン\tC1\t\tint\t\t\t\n"
      "OK\t通る名前\tC1\t\tint\t\t\t\n" +
      longest +
      "\t長い名前\tC1\t\tint\t\t\t\n"
      "[indexes]\nTABLE_NAME\tINDEX_NAME\tPRIMARY_KEY:b\tUNIQUE:b\tORDINAL_POSITION:n\tCOLUMN_"
      "NAME\n";
  ImportHost host(ParseRecording(text), Answers("sql", false));
  host::Workbook& wb = host.NewBook("SQL");
  host.PressReverse();
  // Each refusal is shown once, under the procedure that met it; the import goes on.
  EXPECT_EQ(host.failures(), 2) << host.err();
  EXPECT_NE(host.err().find("シート名'A:B'には使えない文字が含まれています。"), std::string::npos)
      << host.err();
  EXPECT_NE(host.err().find("シート名'" + longest + "'は長すぎます。"), std::string::npos);
  EXPECT_EQ(wb.WorksheetCount(), 6) << host.err();
  for (const std::string& table : {std::string("A:B"), std::string("OK"), longest}) {
    SCOPED_TRACE(table);
    host::Worksheet* ws = SheetOfTable(wb, table);
    ASSERT_NE(ws, nullptr);
    EXPECT_EQ(ColumnRowText(*ws, 8), "C1||int|||");
  }
  // The copies left under their own names are shown, so the list and the scripts have them.
  for (int row = 5; row <= 7; ++row) {
    EXPECT_EQ(CellText(wb.Worksheets("テーブル一覧"), row, 3),
              (std::vector<std::string>{"A:B", "OK", longest}[row - 5]));
  }
}

}  // namespace
}  // namespace kastel::testing
