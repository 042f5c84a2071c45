// Workbooks kastel refuses before writing anything, and the exit statuses it gives.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "cli_fixture.h"

namespace kastel::testing {
namespace {

using RefusalsTest = CliTest;

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

void Touch(const std::string& path, const std::string& text = "") {
  std::ofstream(path, std::ios::binary) << text;
}

TEST_F(RefusalsTest, UnusableWorkbooksAreRefusedWithStatus2AndLeftUntouched) {
  const struct {
    const char* name;
    const char* prepare;  // "copy", "junk" or "" (no file)
    const char* lock;     // a lock file to put beside it
    const char* message;
  } cases[] = {
      {"missing.xlsx", "", "", "が見つかりません"},
      {"damaged.xlsx", "junk", "", "damaged.xlsx」を開けません"},
      {"old.xls", "junk", "", "soffice --headless --convert-to xlsx"},
      {"excel.xlsx", "copy", "~$excel.xlsx", "表計算ソフトで開かれています"},
      {"long_name_book.xlsx", "copy", "~$ng_name_book.xlsx", "表計算ソフトで開かれています"},
      {"calc.xlsx", "copy", ".~lock.calc.xlsx#", "表計算ソフトで開かれています"},
      {"plain.xlsx", "copy", "", "「テーブル一覧更新」は無効です"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string book = scratch_ / c.name;
    if (std::string(c.prepare) == "copy") {
      Copy(std::string(c.name) == "plain.xlsx" ? "plain.xlsx" : "three_sheets.xlsx", c.name);
    } else if (std::string(c.prepare) == "junk") {
      Touch(book, "これは zip ではありません");
    }
    if (*c.lock != '\0') Touch(scratch_ / c.lock, "owner");
    const std::string before = ReadFile(book);
    const RunResult r = Run({"refresh", c.name});
    EXPECT_EQ(r.status, 2) << r.err;
    EXPECT_TRUE(Contains(r.err, c.message)) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_TRUE(ReadFile(book) == before);
    EXPECT_EQ(std::filesystem::exists(book), *c.prepare != '\0');
  }
}

TEST_F(RefusalsTest, ForceSavesAWorkbookWithALockFile) {
  Copy("three_sheets.xlsx", "calc.xlsx");
  Touch(scratch_ / ".~lock.calc.xlsx#", "owner");
  ExpectRun(Run({"refresh", "calc.xlsx", "--force"}), 0, "", "");
  EXPECT_EQ(Get(DumpBook(scratch_ / "calc.xlsx"), "sheet 2"), "visible 1");
}

TEST_F(RefusalsTest, BarDoesNotCareAboutLockFiles) {
  Copy("three_sheets.xlsx", "calc.xlsx");
  Touch(scratch_ / ".~lock.calc.xlsx#", "owner");
  EXPECT_EQ(Run({"bar", "calc.xlsx"}).status, 0);
}

TEST_F(RefusalsTest, NewRefusesToOverwriteOrToWriteIntoAMissingFolder) {
  Copy("plain.xlsx", "taken.xlsx");
  const std::string before = ReadFile(scratch_ / "taken.xlsx");
  const struct {
    std::vector<std::string> args;
    int status;
    const char* message;
  } cases[] = {
      {{"new", "--sql", "taken.xlsx"}, 2, "既にあります"},
      {{"new", "--oracle", "nowhere/x.xlsx"}, 2, "がありません"},
      {{"new", "--sql", "a.xlsx", "--oracle", "b.xlsx"}, 2, "同時には指定できない"},
      {{"new"}, 2, "--sql PATH か --oracle PATH"},
      {{"refresh"}, 2, "必要な引数がありません"},
      {{"frobnicate"}, 2, "使い方は kastel --help"},
  };
  for (const auto& c : cases) {
    const RunResult r = Run(c.args);
    EXPECT_EQ(r.status, c.status) << c.args[0];
    EXPECT_TRUE(Contains(r.err, c.message)) << r.err;
  }
  EXPECT_TRUE(ReadFile(scratch_ / "taken.xlsx") == before);
  EXPECT_FALSE(std::filesystem::exists(scratch_ / "a.xlsx"));
  ExpectRun(Run({"new", "--sql", "taken.xlsx", "--force"}), 0, "", "");
  EXPECT_EQ(Get(DumpBook(scratch_ / "taken.xlsx"), "prop DB"), "SQL");
}

TEST_F(RefusalsTest, AMissingTemplateIsAFailureAndWritesNoFile) {
  kastel_.SetEnv("KASTEL_TEMPLATE", scratch_ / "none.xltx");
  const RunResult r = Run({"new", "--sql", "x.xlsx"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err, "");
  EXPECT_FALSE(std::filesystem::exists(scratch_ / "x.xlsx"));
}

}  // namespace
}  // namespace kastel::testing
