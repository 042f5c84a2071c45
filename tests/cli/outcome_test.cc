// What a command's outcome means for the workbook and the exit status: failures gone past are
// shown and the result is kept (4), a failure that stops the command keeps nothing (1).
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "cli_fixture.h"

namespace kastel::testing {
namespace {

using OutcomeTest = CliTest;

constexpr const char* kOffTheSheet = "アプリケーション定義またはオブジェクト定義のエラーです。\n";
constexpr const char* kNotConverted = "型が一致しません。\n";

TEST_F(OutcomeTest, FailuresGonePastKeepTheResultAndAStoppingOneKeepsNothing) {
  const struct {
    const char* fixture;
    const char* command;
    int status;
    const char* err;  // the failures shown, before the closing line of a command that saves
    bool kept;        // the workbook saved, or the scripts written
  } cases[] = {
      {"went_past.xlsx", "refresh", 4, kNotConverted, true},
      {"went_past.xlsx", "script", 4, kNotConverted, true},
      // A layout position off the sheet fails at the first cell read, as a write would.
      {"rows_off.xlsx", "refresh", 1, kOffTheSheet, false},
      {"cols_off.xlsx", "refresh", 1, kOffTheSheet, false},
      {"rows_off.xlsx", "script", 1, kOffTheSheet, false},
      {"cols_off.xlsx", "script", 1, kOffTheSheet, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.command) + " " + c.fixture);
    const std::string book = Copy(c.fixture, "book.xlsx");
    const std::string before = ReadFile(book);
    const std::filesystem::path out = scratch_ / "out";
    std::filesystem::remove_all(out);
    std::filesystem::create_directory(out);
    const bool saves = std::string(c.command) != "script";
    const RunResult r =
        saves ? Run({c.command, "book.xlsx"}) : Run({c.command, "book.xlsx", "-o", out.string()});
    std::string err = c.err;
    if (saves) err += c.kept ? Saved("book.xlsx") : NotSaved("book.xlsx");
    EXPECT_EQ(r.status, c.status) << r.err;
    EXPECT_EQ(r.err, err);
    if (saves) {
      EXPECT_EQ(ReadFile(book) != before, c.kept);
      if (c.kept) {
        EXPECT_EQ(Get(DumpBook(book), "cell テーブル一覧!E5"), "PK_CUSTOMER");
      }
    } else {
      const std::string table = ReadFile(out / "table.sql");
      EXPECT_EQ(table.find("CREATE TABLE CUSTOMER") != std::string::npos, c.kept) << table;
      EXPECT_EQ(r.out.empty(), !c.kept) << r.out;
    }
  }
}

}  // namespace
}  // namespace kastel::testing
