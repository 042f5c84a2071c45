// A failure the command went past is shown and the result kept (4); one that stopped it keeps
// nothing (1). A layout position off the sheet stops at the first cell read, as a write would.
// After each failure a line names where it happened.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "cli_fixture.h"

namespace kastel::testing {
namespace {

using OutcomeTest = CliTest;

TEST_F(OutcomeTest, FailuresGonePastKeepTheResultAndAStoppingOneKeepsNothing) {
  const std::string off = "アプリケーション定義またはオブジェクト定義のエラーです。\n";
  const std::string not_text = "型が一致しません。\n";
  // The line after a failure that names where it happened.
  auto at = [](const std::string& place) { return "kastel: 場所: book.xlsx " + place + "\n"; };
  const struct {
    const char* fixture;
    const char* command;
    int status;
    std::string err;
  } cases[] = {
      {"went_past.xlsx", "refresh", 4,
       not_text + at("シート「1」 テーブル CUSTOMER V6") + Saved("book.xlsx")},
      {"went_past.xlsx", "script", 4,
       not_text + "2 件のエラー、0 件の警告があります (kastel check で確認できます)\n"},
      {"rows_off.xlsx", "refresh", 1,
       off + at("シート「1」 テーブル (名前なし) R-1C3") + NotSaved("book.xlsx")},
      {"cols_off.xlsx", "refresh", 1,
       off + at("シート「1」 テーブル (名前なし) R4C20000") + NotSaved("book.xlsx")},
      {"rows_off.xlsx", "script", 1, off},
      {"cols_off.xlsx", "script", 1, off},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.command) + " " + c.fixture);
    const std::string book = Copy(c.fixture, "book.xlsx");
    const std::string before = ReadFile(book);
    std::filesystem::remove_all(scratch_ / "out");
    std::filesystem::create_directory(scratch_ / "out");
    const bool script = std::string(c.command) == "script";
    const RunResult r =
        script ? Run({"script", "book.xlsx", "-o", "out"}) : Run({"refresh", "book.xlsx"});
    EXPECT_EQ(r.status, c.status);
    EXPECT_EQ(r.err, c.err);
    const bool kept = c.status == 4;
    const std::string table = ReadFile(scratch_ / "out/table.sql");
    EXPECT_EQ(script ? table.find("CREATE TABLE CUSTOMER") != std::string::npos
                     : ReadFile(book) != before,
              kept);
  }
}

}  // namespace
}  // namespace kastel::testing
