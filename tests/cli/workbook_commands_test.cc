// kastel's workbook commands on real workbooks, read back by openpyxl.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli_fixture.h"

namespace kastel::testing {
namespace {

using WorkbookCommandsTest = CliTest;

struct Fact {
  const char* key;
  const char* value;
};

TEST_F(WorkbookCommandsTest, RefreshRenamesNumbersListsAndLinksTheDefinitionSheets) {
  const std::vector<Fact> three_sheets = {
      // Definition sheets renamed in tab order; hidden, unmarked and fixed sheets keep names.
      {"sheet:2", "1|visible"},
      {"sheet:3", "隠し|hidden"},
      {"sheet:4", "メモ|visible"},
      {"sheet:5", "2|visible"},
      {"sheet:6", "3|visible"},
      {"sheet:8", "template|hidden"},
      {"cell:1!U3", "int:1"},
      {"cell:2!U3", "int:2"},
      {"cell:3!U3", "int:3"},
      {"cell:隠し!U3", "<none>"},
      {"cell:テーブル一覧!C5", "str:CUSTOMER"},
      {"cell:テーブル一覧!D5", "str:顧客"},
      {"cell:テーブル一覧!E5", "str:PK_CUSTOMER"},
      {"cell:テーブル一覧!F5", "int:3"},
      {"cell:テーブル一覧!C6", "str:ORDERS"},
      {"cell:テーブル一覧!F6", "int:5"},
      {"cell:テーブル一覧!C7", "str:？"},
      {"cell:テーブル一覧!F7", "int:0"},  // no table name
      {"link:テーブル一覧!C5", "'1'!A1|CUSTOMER"},
      {"link:テーブル一覧!C6", "'2'!A1|ORDERS"},
      {"link:テーブル一覧!C7", "'3'!A1|？"},
      {"cell:テーブル一覧!C8", "<none>"},
      {"printarea:テーブル一覧", "$A$1:$K$34"},
      {"printarea:1", "$B$3:$V$37"}};
  const struct {
    const char* fixture;
    std::vector<Fact> facts;
  } cases[] = {{"three_sheets.xlsx", three_sheets},
               {"lo/three_sheets.xlsx", three_sheets},  // as LibreOffice wrote it
               {"sheets30.xlsx",
                {{"cell:テーブル一覧!C34", "str:T29"}, {"printarea:テーブル一覧", "$A$1:$K$34"}}},
               {"sheets31.xlsx",
                {{"cell:テーブル一覧!C35", "str:T30"}, {"printarea:テーブル一覧", "$A$1:$K$35"}}},
               // Column blocks ending on rows 36, 37 and past 520 (CONSTRAINT_TYPE in column R).
               {"column_blocks.xlsx",
                {{"cell:テーブル一覧!F5", "int:29"},
                 {"printarea:1", "$B$3:$V$37"},
                 {"cell:テーブル一覧!F6", "int:30"},
                 {"printarea:2", "$B$3:$R$37"},
                 {"cell:テーブル一覧!F7", "int:513"},
                 {"printarea:3", "$B$3:$R$520"}}},
               // Rows left from a longer list are cleared, also beyond row 204.
               {"stale_rows.xlsx",
                {{"cell:テーブル一覧!C6", "str:T01"},
                 {"cell:テーブル一覧!C7", "<none>"},
                 {"cell:テーブル一覧!C204", "<none>"},
                 {"cell:テーブル一覧!C210", "<none>"},
                 {"cell:テーブル一覧!F210", "<none>"},
                 {"cell:テーブル一覧!B204", "int:200"}}}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.fixture);
    const std::string book = Copy(c.fixture, "book.xlsx");
    const RunResult r = Run({"refresh", "book.xlsx"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(r.out.ends_with(" シートを番号順に並べ、一覧を更新しました\n")) << r.out;
    EXPECT_EQ(r.err, Saved("book.xlsx"));
    const auto dump = DumpBook(book);
    for (const Fact& f : c.facts) EXPECT_EQ(Get(dump, f.key), f.value) << f.key;
  }
}

TEST_F(WorkbookCommandsTest, NewOracleWorkbookThenAddSheetThenTemplateTwice) {
  ExpectRun(Run({"new", "x.xlsx", "--oracle"}), 0,
            "新しいテーブル定義書 (Oracle) を作りました: x.xlsx\n", Saved("x.xlsx"));
  auto dump = DumpBook(scratch_ / "x.xlsx");
  EXPECT_EQ(Get(dump, "custom:DB"), "lpwstr|ORA");
  EXPECT_EQ(Get(dump, "custom:TEMPLATE"), "lpwstr|DB");
  EXPECT_EQ(Get(dump, "name:DATA_TYPE"), "'@LIST'!$C$2:$C$21");
  EXPECT_EQ(Get(dump, "sheet:3"), "template|hidden");

  ExpectRun(Run({"add-sheet", "x.xlsx"}), 0, "シート「template (2)」を追加しました\n",
            Saved("x.xlsx"));
  dump = DumpBook(scratch_ / "x.xlsx");
  EXPECT_EQ(Get(dump, "sheet:3"), "template (2)|visible");
  EXPECT_EQ(Get(dump, "cell:template (2)!B3"), "str:テーブル定義書");
  EXPECT_EQ(Get(dump, "sheet:4"), "template|hidden");
  EXPECT_EQ(Get(dump, "name:DATA_TYPE"), "'@LIST'!$C$2:$C$21");
  // The hidden template has no print area, which LibreOffice would print; its copy has one.
  EXPECT_EQ(Get(dump, "printarea:template (2)"), "$B$3:$V$37");
  EXPECT_EQ(Get(dump, "printarea:template"), "<none>");

  // The toggle, then --show and --hide, each of which holds when repeated and then saves nothing.
  const struct {
    std::vector<std::string> args;
    const char* out;
    const char* state;
    bool saved;
  } toggles[] = {
      {{"template", "x.xlsx"}, "テンプレートシートを表示しました\n", "template|visible", true},
      {{"template", "x.xlsx"}, "テンプレートシートを非表示にしました\n", "template|hidden", true},
      {{"template", "x.xlsx", "--hide"},
       "テンプレートシートは既に非表示です\n",
       "template|hidden",
       false},
      {{"template", "x.xlsx", "--show"},
       "テンプレートシートを表示しました\n",
       "template|visible",
       true},
      {{"template", "x.xlsx", "--show"},
       "テンプレートシートは既に表示されています\n",
       "template|visible",
       false},
  };
  for (const auto& t : toggles) {
    ExpectRun(Run(t.args), 0, t.out, t.saved ? Saved("x.xlsx") : NotSaved("x.xlsx"));
    EXPECT_EQ(Get(DumpBook(scratch_ / "x.xlsx"), "sheet:4"), t.state) << t.args.back();
  }
}

TEST_F(WorkbookCommandsTest, BarShowsWhichButtonsTheWorkbookEnables) {
  const std::string head = "KASTEL\n  新規作成 有効\n    SQL Server 有効\n    Oracle 有効\n";
  const std::string off =
      "  シート追加 無効\n  テーブル一覧更新 無効\n  スクリプト出力 無効\n"
      "  リバースエンジニア 無効\n  テンプレート表示切替 無効\n";
  const std::string on =
      "  シート追加 有効\n  テーブル一覧更新 有効\n  スクリプト出力 有効\n"
      "  リバースエンジニア 有効\n  テンプレート表示切替 有効\n";
  Copy("plain.xlsx");
  Copy("lower_mark.xlsx");  // "TEMPLATE" = "db"
  Copy("three_sheets.xlsx");
  const struct {
    std::vector<std::string> args;
    std::string out;
  } cases[] = {{{"bar"}, head + off},
               {{"bar", "plain.xlsx"}, head + off},
               {{"bar", "lower_mark.xlsx"}, head + off},
               {{"bar", "three_sheets.xlsx"}, head + on}};
  for (const auto& c : cases) ExpectRun(Run(c.args), 0, c.out, "");
}

TEST_F(WorkbookCommandsTest, AFailureIsShownOnStderrWithItsPlaceAndNothingIsSaved) {
  const std::string no_item = "インデックスが有効範囲にありません。\n";
  const struct {
    const char* fixture;
    const char* command;
    std::string err;
  } cases[] = {{"bad_layout.xlsx", "refresh",
                "パラメタ'INDEX_NAME'が未設定です。\n設定を確認して下さい。\nkastel: 場所: "
                "bad_layout.xlsx 文書プロパティ INDEX_NAME = \"0,3\"\n"},
               {"no_template.xlsx", "add-sheet",
                no_item + "kastel: 場所: no_template.xlsx シート「template」\n"},
               {"no_template.xlsx", "template",
                no_item + "kastel: 場所: no_template.xlsx シート「template」\n"},
               // The refresh works; the before-save event fails, so nothing is written.
               {"no_data_type.xlsx", "refresh",
                no_item + "kastel: 場所: no_data_type.xlsx 保存前の処理 名前 DATA_TYPE\n"}};
  for (const auto& c : cases) {
    const std::string book = Copy(c.fixture);
    const std::string before = ReadFile(book);
    ExpectRun(Run({c.command, c.fixture}), 1, "", c.err + NotSaved(c.fixture));
    EXPECT_TRUE(ReadFile(book) == before) << c.command;
  }
}

}  // namespace
}  // namespace kastel::testing
