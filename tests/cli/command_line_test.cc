// The command line as a person meets it: version, a mistyped command, help laid out for a
// terminal of 100 columns.
#include <gtest/gtest.h>

#include <wchar.h>
#include <clocale>
#include <cwchar>
#include <sstream>
#include <string>
#include <vector>

#include "cli_fixture.h"

namespace kastel::testing {
namespace {

using CommandLineTest = CliTest;

// Terminal cells of a UTF-8 line, as the C library's wcwidth counts them.
int Cells(const std::string& line) {
  std::setlocale(LC_CTYPE, "C.UTF-8");
  std::mbstate_t state{};
  int cells = 0;
  const char* p = line.c_str();
  const char* end = p + line.size();
  while (p < end) {
    wchar_t wc = 0;
    const std::size_t n = std::mbrtowc(&wc, p, static_cast<std::size_t>(end - p), &state);
    if (n == 0 || n > static_cast<std::size_t>(end - p)) return -1;
    cells += ::wcwidth(wc);
    p += n;
  }
  return cells;
}

TEST_F(CommandLineTest, VersionSuggestionsAndUsage) {
  const struct {
    std::vector<std::string> args;
    int status;
    const char* out;  // found in stdout ("" for none expected)
    const char* err;  // found in stderr
  } cases[] = {
      {{"--version"}, 0, "kastel 0.1.0 (", ""},
      {{"--version"}, 0, ", CLI11 ", ""},
      {{"scirpt", "x.xlsx"}, 2, "", "'scirpt' はコマンドではありません。\nもしかして: script\n"},
      {{"chek"}, 2, "", "もしかして: check\n"},
      {{"ref"}, 2, "", "もしかして: refresh\n"},
      {{"script", "--foo", "x.xlsx"}, 2, "", "使い方は kastel script --help で確かめて下さい。"},
      {{"check", "x.xlsx", "--fromat", "json"}, 2, "", "もしかして: --format\n"},
      {{"--help"},
       0,
       "  4       最後まで実行し、途中の失敗を表示しました (保存はしています)\n",
       ""},
      {{"--help"}, 0, "  KASTEL_PASSWORD         データベースのパスワード", ""},
      {{"check", "--help"}, 0, "使い方: kastel check [オプション] WORKBOOK\n", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args.front());
    const RunResult r = Run(c.args);
    EXPECT_EQ(r.status, c.status) << r.err;
    EXPECT_NE(r.out.find(c.out), std::string::npos) << r.out;
    EXPECT_NE(r.err.find(c.err), std::string::npos) << r.err;
  }
  EXPECT_EQ(Run({"xyzzy"}).err.find("もしかして"), std::string::npos);
}

// A connection that fails before any server answers: the driver's text, then what to check.
TEST_F(CommandLineTest, ConnectionFailuresSayWhatToCheck) {
  Copy("three_sheets.xlsx", "book.xlsx");
  env_["KASTEL_PASSWORD"] = "x";
  const struct {
    const char* driver;
    const char* server;
    const char* hint;
  } cases[] = {
      {"NoSuchDriver", "localhost", "unixODBC が知っているドライバ: FreeTDS"},
      {"FreeTDS", "127.0.0.1,1", "\nヒント: サーバーに届きません。"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.driver);
    env_["KASTEL_ODBC_SQLSERVER"] = c.driver;
    const RunResult r =
        Run({"reverse", "book.xlsx", "--server", c.server, "--auth", "sql", "--user", "u"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find(c.hint), std::string::npos) << r.err;
  }
}

// Help is Japanese, every row fits 100 cells and its text starts in the same column, full-width
// text counting two cells a character.
TEST_F(CommandLineTest, HelpIsJapaneseAndAlignedByDisplayWidth) {
  env_["COLUMNS"] = "100";
  for (const char* command : {"", "new", "add-sheet", "refresh", "script", "check", "adopt",
                              "reverse", "template", "bar", "register"}) {
    SCOPED_TRACE(command);
    std::vector<std::string> args = {"--help"};
    if (*command != '\0') args.insert(args.begin(), command);
    const RunResult r = Run(args);
    ASSERT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("使い方:"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("この説明を表示して終了します"), std::string::npos) << r.out;
    std::istringstream lines(r.out);
    std::string line;
    int rows = 0;
    bool first = true;
    while (std::getline(lines, line)) {
      if (first) {  // the command's description, above its usage line
        first = false;
        continue;
      }
      EXPECT_LE(Cells(line), 100) << line;
      // Notes below the options have columns of their own.
      if (line.ends_with(":") && line != "引数:" && line != "オプション:" && line != "コマンド:") {
        break;
      }
      if (!line.starts_with("  ") || line[2] == ' ') continue;
      // Names hold single blanks at most; the first double blank ends the name.
      const std::size_t gap = line.find("  ", 2);
      if (gap == std::string::npos) continue;
      EXPECT_EQ(Cells(line.substr(0, line.find_first_not_of(' ', gap))), 30) << line;
      ++rows;
    }
    EXPECT_GT(rows, 1);
  }
}

}  // namespace
}  // namespace kastel::testing
