// kastel's workbook commands on real workbooks, read back by openpyxl.
#include <gtest/gtest.h>

#include <string>

#include "cli_fixture.h"

namespace kastel::testing {
namespace {

using WorkbookCommandsTest = CliTest;

constexpr const char* kBarWithoutWorkbook =
    "KASTEL\n"
    "  新規作成 有効\n"
    "    SQL Server 有効\n"
    "    Oracle 有効\n"
    "  シート追加 無効\n"
    "  テーブル一覧更新 無効\n"
    "  スクリプト出力 無効\n"
    "  リバースエンジニア 無効\n"
    "  テンプレート表示切替 無効\n";

constexpr const char* kBarForDefinitionWorkbook =
    "KASTEL\n"
    "  新規作成 有効\n"
    "    SQL Server 有効\n"
    "    Oracle 有効\n"
    "  シート追加 有効\n"
    "  テーブル一覧更新 有効\n"
    "  スクリプト出力 有効\n"
    "  リバースエンジニア 有効\n"
    "  テンプレート表示切替 有効\n";

TEST_F(WorkbookCommandsTest, RefreshRenamesNumbersAndListsTheDefinitionSheets) {
  for (const char* fixture : {"three_sheets.xlsx", "lo/three_sheets.xlsx"}) {
    SCOPED_TRACE(fixture);
    const std::string book = Copy(fixture, "book.xlsx");
    ExpectRun(Run({"refresh", "book.xlsx"}), 0, "", "");
    const auto dump = DumpBook(book);
    const struct {
      const char* key;
      const char* value;
    } facts[] = {
        {"sheet 1", "visible テーブル一覧"},
        {"sheet 2", "visible 1"},
        {"sheet 3", "hidden 隠し"},
        {"sheet 4", "visible メモ"},
        {"sheet 5", "visible 2"},
        {"sheet 6", "visible 3"},
        {"sheet 7", "hidden @LIST"},
        {"sheet 8", "hidden template"},
        {"cell 1!U3", "1"},
        {"cell 2!U3", "2"},
        {"cell 3!U3", "3"},
        {"cell 隠し!U3", "<none>"},
        {"cell テーブル一覧!C5", "CUSTOMER"},
        {"cell テーブル一覧!D5", "顧客"},
        {"cell テーブル一覧!E5", "PK_CUSTOMER"},
        {"cell テーブル一覧!F5", "3"},
        {"cell テーブル一覧!C6", "ORDERS"},
        {"cell テーブル一覧!F6", "5"},
        {"cell テーブル一覧!C7", "？"},
        {"cell テーブル一覧!F7", "0"},
        {"link テーブル一覧!C5", "'1'!A1"},
        {"link テーブル一覧!C6", "'2'!A1"},
        {"link テーブル一覧!C7", "'3'!A1"},
        {"cell テーブル一覧!C8", "<none>"},
        {"print テーブル一覧", "$A$1:$K$34"},
        {"print 1", "$B$3:$V$37"},
        {"name DATA_TYPE", "'@LIST'!$B$2:$B$28"},
    };
    for (const auto& f : facts) EXPECT_EQ(Get(dump, f.key), f.value) << f.key;
  }
}

TEST_F(WorkbookCommandsTest, NewOracleWorkbookThenAddSheetThenTemplateTwice) {
  ExpectRun(Run({"new", "--oracle", "x.xlsx"}), 0, "", "");
  auto dump = DumpBook(scratch_ / "x.xlsx");
  EXPECT_EQ(Get(dump, "prop DB"), "ORA");
  EXPECT_EQ(Get(dump, "prop TEMPLATE"), "DB");
  EXPECT_EQ(Get(dump, "name DATA_TYPE"), "'@LIST'!$C$2:$C$21");
  EXPECT_EQ(Get(dump, "sheet 3"), "hidden template");
  EXPECT_EQ(Get(dump, "sheet 4"), "<none>");

  ExpectRun(Run({"add-sheet", "x.xlsx"}), 0, "", "");
  dump = DumpBook(scratch_ / "x.xlsx");
  EXPECT_EQ(Get(dump, "sheet 3"), "visible template (2)");
  EXPECT_EQ(Get(dump, "sheet 4"), "hidden template");
  EXPECT_EQ(Get(dump, "cell template (2)!B3"), "テーブル定義書");
  EXPECT_EQ(Get(dump, "name DATA_TYPE"), "'@LIST'!$C$2:$C$21");  // kept by the save

  ExpectRun(Run({"template", "x.xlsx"}), 0, "", "");
  EXPECT_EQ(Get(DumpBook(scratch_ / "x.xlsx"), "sheet 4"), "visible template");
  ExpectRun(Run({"template", "x.xlsx"}), 0, "", "");
  EXPECT_EQ(Get(DumpBook(scratch_ / "x.xlsx"), "sheet 4"), "hidden template");
}

TEST_F(WorkbookCommandsTest, NewSqlWorkbookPointsTheTypeListAtSqlServer) {
  ExpectRun(Run({"new", "--sql", "s.xlsx"}), 0, "", "");
  const auto dump = DumpBook(scratch_ / "s.xlsx");
  EXPECT_EQ(Get(dump, "prop DB"), "SQL");
  EXPECT_EQ(Get(dump, "name DATA_TYPE"), "'@LIST'!$B$2:$B$28");
}

TEST_F(WorkbookCommandsTest, TemplateOptionGoesBeforeTheEnvironment) {
  kastel_.SetEnv("KASTEL_TEMPLATE", scratch_ / "missing.xltx");
  ExpectRun(Run({"new", "--sql", "t.xlsx", "--template", KASTEL_TEST_TEMPLATE}), 0, "", "");
  EXPECT_EQ(Get(DumpBook(scratch_ / "t.xlsx"), "prop DB"), "SQL");
}

TEST_F(WorkbookCommandsTest, BarShowsWhichButtonsTheWorkbookEnables) {
  Copy("plain.xlsx");
  Copy("three_sheets.xlsx");
  Copy("lower_mark.xlsx");
  const struct {
    std::vector<std::string> args;
    const char* out;
  } cases[] = {
      {{"bar"}, kBarWithoutWorkbook},
      {{"bar", "plain.xlsx"}, kBarWithoutWorkbook},
      {{"bar", "lower_mark.xlsx"}, kBarWithoutWorkbook},
      {{"bar", "three_sheets.xlsx"}, kBarForDefinitionWorkbook},
  };
  for (const auto& c : cases) ExpectRun(Run(c.args), 0, c.out, "");
}

TEST_F(WorkbookCommandsTest, AFailureIsShownOnStderrAndNothingIsSaved) {
  const struct {
    const char* fixture;
    const char* command;
    const char* err;
  } cases[] = {
      {"bad_layout.xlsx", "refresh",
       "パラメタ'INDEX_NAME'が未設定です。\n設定を確認して下さい。\n"},
      {"no_template.xlsx", "add-sheet", "インデックスが有効範囲にありません。\n"},
      {"no_template.xlsx", "template", "インデックスが有効範囲にありません。\n"},
      // The command itself works; the before-save event fails, so nothing is written.
      {"no_data_type.xlsx", "refresh", "インデックスが有効範囲にありません。\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.command);
    const std::string book = Copy(c.fixture);
    const std::string before = ReadFile(book);
    ExpectRun(Run({c.command, c.fixture}), 1, "", c.err);
    EXPECT_TRUE(ReadFile(book) == before);
  }
}

TEST_F(WorkbookCommandsTest, HelpIsJapaneseForTheProgramAndEachCommand) {
  const std::vector<std::vector<std::string>> cases = {
      {"--help"},
      {"new", "--help"},
      {"add-sheet", "--help"},
      {"refresh", "--help"},
      {"template", "--help"},
      {"bar", "--help"},
      {"register", "-h"},
      {"unregister", "--help"},
  };
  for (const auto& args : cases) {
    const RunResult r = Run(args);
    EXPECT_EQ(r.status, 0) << args[0];
    EXPECT_NE(r.out.find("使い方:"), std::string::npos) << args[0] << "\n" << r.out;
    EXPECT_NE(r.out.find("この説明を表示して終了します"), std::string::npos) << args[0];
    EXPECT_EQ(r.err, "");
  }
}

}  // namespace
}  // namespace kastel::testing
