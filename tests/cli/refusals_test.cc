// Workbooks and paths kastel refuses before writing anything, and the statuses it gives.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "cli_fixture.h"

namespace kastel::testing {
namespace {

using RefusalsTest = CliTest;

void Touch(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

TEST_F(RefusalsTest, UnusableWorkbooksAreRefusedWithStatus2AndLeftUntouched) {
  const struct {
    const char* name;
    const char* fixture;  // copied in as `name`; "junk" for bytes that are no workbook
    const char* lock;     // a lock file beside it
    const char* message;
  } cases[] = {
      {"missing.xlsx", "", "", "が見つかりません"},
      {"damaged.xlsx", "junk", "", "damaged.xlsx」を開けません"},
      {"old.xls", "junk", "", "soffice --headless --convert-to xlsx old.xls"},
      {"excel.xlsx", "three_sheets.xlsx", "~$excel.xlsx", "表計算ソフトで開かれています"},
      {"long_name.xlsx", "three_sheets.xlsx", "~$ng_name.xlsx", "表計算ソフトで開かれています"},
      {"calc.xlsx", "three_sheets.xlsx", ".~lock.calc.xlsx#", "表計算ソフトで開かれています"},
      {"plain.xlsx", "plain.xlsx", "", "「テーブル一覧更新」は無効です"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string book = scratch_ / c.name;
    if (std::string(c.fixture) == "junk") Touch(book, "zip ではありません");
    if (std::string(c.fixture).ends_with(".xlsx")) Copy(c.fixture, c.name);
    if (*c.lock != '\0') Touch(scratch_ / c.lock, "owner");
    const std::string before = ReadFile(book);
    const RunResult r = Run({"refresh", c.name});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
    EXPECT_TRUE(r.err.ends_with(NotSaved(c.name))) << r.err;
    EXPECT_TRUE(ReadFile(book) == before);
  }
  // Forced, the locked workbook is saved.
  ExpectRun(Run({"refresh", "calc.xlsx", "--force"}), 0,
            "3 シートを番号順に並べ、一覧を更新しました\n", Saved("calc.xlsx"));
  EXPECT_EQ(Get(DumpBook(scratch_ / "calc.xlsx"), "sheet:2"), "1|visible");
}

TEST_F(RefusalsTest, NewRefusesToOverwriteOrToWriteIntoAMissingFolder) {
  Copy("plain.xlsx", "taken.xlsx");
  const std::string before = ReadFile(scratch_ / "taken.xlsx");
  const struct {
    std::vector<std::string> args;
    const char* message;
  } cases[] = {
      {{"new", "--sql", "taken.xlsx"}, "既にあります"},
      {{"new", "--oracle", "nowhere/x.xlsx"}, "がありません"},
      {{"new", "--sql", "a.xlsx", "--oracle", "b.xlsx"}, "同時には指定できない"},
      {{"new", "--postgres", "a.xlsx", "--oracle", "b.xlsx"}, "同時には指定できない"},
      {{"new"}, "PATH を指定して下さい"},
      {{"new", "a.xlsx", "--sql", "b.xlsx"}, "PATH が二つあります"},
      {{"refresh"}, "必要な引数がありません"},
  };
  for (const auto& c : cases) {
    const RunResult r = Run(c.args);
    EXPECT_EQ(r.status, 2) << c.args.back();
    EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
  }
  EXPECT_TRUE(ReadFile(scratch_ / "taken.xlsx") == before);
  EXPECT_FALSE(std::filesystem::exists(scratch_ / "a.xlsx"));
  ExpectRun(Run({"new", "--sql", "taken.xlsx", "--force"}), 0,
            "新しいテーブル定義書 (SQL Server) を作りました: taken.xlsx\n", Saved("taken.xlsx"));
  EXPECT_EQ(Get(DumpBook(scratch_ / "taken.xlsx"), "name:DATA_TYPE"), "'@LIST'!$B$2:$B$28");
}

TEST_F(RefusalsTest, AMissingTemplateIsAFailureThatTheTemplateOptionMends) {
  env_["KASTEL_TEMPLATE"] = scratch_ / "none.xltx";
  const RunResult r = Run({"new", "--sql", "x.xlsx"});
  EXPECT_EQ(r.status, 1);
  // One message: the button's handler reports the failure, nothing reports it again.
  EXPECT_EQ(r.err, "ファイル「none.xltx」を開けません: 見つかりません。\n" + NotSaved("x.xlsx"));
  EXPECT_FALSE(std::filesystem::exists(scratch_ / "x.xlsx"));
  ExpectRun(Run({"new", "x.xlsx", "--template", KASTEL_TEST_TEMPLATE}), 0,
            "新しいテーブル定義書 (SQL Server) を作りました: x.xlsx\n", Saved("x.xlsx"));
  EXPECT_EQ(Get(DumpBook(scratch_ / "x.xlsx"), "custom:DB"), "lpwstr|SQL");
}

}  // namespace
}  // namespace kastel::testing
