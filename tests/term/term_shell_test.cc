// The terminal shell: where message boxes go, how folder dialogs are answered, the environment.
#include "term/term_shell.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>

#include "util/shell.h"

namespace kastel::term {
namespace {

struct Streams {
  std::ostringstream out;
  std::ostringstream err;
  std::istringstream in;
};

TEST(TermShellTest, MessageBoxesGoToTheStreamTheirIconBelongsTo) {
  const struct {
    int style;
    bool on_err;
  } cases[] = {
      {kMsgExclamation, true},    {16, true}, {kMsgInformation, false}, {0, false}, {32, false},
      {kMsgExclamation + 4, true}};
  for (const auto& c : cases) {
    Streams s;
    TermShell shell(s.out, s.err, s.in, false);
    EXPECT_EQ(shell.MessageBox("本文", c.style, "KASTEL"), kMsgOk);
    EXPECT_EQ((c.on_err ? s.err : s.out).str(), "本文\n") << c.style;
    EXPECT_EQ((c.on_err ? s.out : s.err).str(), "") << c.style;
  }
}

TEST(TermShellTest, TerminalTextTurnsEveryLineBreakIntoALineFeed) {
  const struct {
    const char* prompt;
    const char* text;
  } cases[] = {{"a\r\nb", "a\nb"},       {"a\rb", "a\nb"},       {"a\nb", "a\nb"},
               {"a\r\n\r\nb", "a\n\nb"}, {"末尾\r\n", "末尾\n"}, {"", ""}};
  for (const auto& c : cases) EXPECT_EQ(TerminalText(c.prompt), c.text) << c.prompt;
}

TEST(TermShellTest, FolderDialogIsAnsweredFromOptionsInputOrTheOfferedFolder) {
  const std::string cwd = std::filesystem::current_path().string();
  const struct {
    bool interactive;
    std::optional<std::string> answer;
    const char* typed;
    const char* selected;
    std::optional<std::string> expected;
    bool cancelled;
  } cases[] = {
      {false, "/out", "", "/last", "/out", false},  // -o wins
      {true, "/out", "/typed\n", "/last", "/out", false},
      {false, std::nullopt, "", "/last", "/last", false},  // OK pressed unchanged
      {false, std::nullopt, "", "", cwd, false},
      {true, std::nullopt, "/typed\n", "/last", "/typed", false},
      {true, std::nullopt, "\n", "/last", "/last", false},
      {true, std::nullopt, "", "/last", std::nullopt, true},  // end of input cancels
  };
  for (const auto& c : cases) {
    Streams s;
    s.in.str(c.typed);
    TermShell shell(s.out, s.err, s.in, c.interactive);
    if (c.answer) shell.SetFolderAnswer(*c.answer);
    EXPECT_EQ(shell.BrowseForFolder("出力先を選んで下さい", c.selected), c.expected) << c.typed;
    EXPECT_EQ(shell.cancelled(), c.cancelled);
    EXPECT_EQ(s.out.str(), "");
  }
}

TEST(TermShellTest, InteractiveFolderPromptShowsTheDescriptionAndTheOffer) {
  Streams s;
  s.in.str("\n");
  TermShell shell(s.out, s.err, s.in, true);
  shell.BrowseForFolder("出力先\r\nを選択", "/data/out");
  EXPECT_EQ(s.err.str(), "出力先\nを選択\nフォルダ [/data/out]: ");
}

TEST(TermShellTest, EnvironmentOverridesGoBeforeTheProcessEnvironment) {
  ::setenv("KASTEL_TERM_TEST_VAR", "process", 1);
  ::unsetenv("KASTEL_TERM_TEST_UNSET");
  Streams s;
  TermShell shell(s.out, s.err, s.in, false);
  EXPECT_EQ(shell.GetEnv("KASTEL_TERM_TEST_VAR"), "process");
  EXPECT_EQ(shell.GetEnv("KASTEL_TERM_TEST_UNSET"), std::nullopt);
  shell.SetEnv("KASTEL_TERM_TEST_VAR", "option");
  shell.SetEnv("KASTEL_TERM_TEST_UNSET", "");
  EXPECT_EQ(shell.GetEnv("KASTEL_TERM_TEST_VAR"), "option");
  EXPECT_EQ(shell.GetEnv("KASTEL_TERM_TEST_UNSET"), "");
}

TEST(TermShellTest, FileExistsOnlyForRegularFiles) {
  const std::filesystem::path dir =
      std::filesystem::temp_directory_path() / ("kastel_term_" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  std::ofstream(dir / "テーブル定義書.xltx") << "x";
  Streams s;
  TermShell shell(s.out, s.err, s.in, false);
  EXPECT_TRUE(shell.FileExists((dir / "テーブル定義書.xltx").string()));
  EXPECT_FALSE(shell.FileExists((dir / "none.xltx").string()));
  EXPECT_FALSE(shell.FileExists(dir.string()));
  EXPECT_FALSE(shell.FileExists(""));
  std::filesystem::remove_all(dir);
}

TEST(TermShellTest, ProgramDataFolderIsTheBuildTreesWhenRunFromIt) {
  Streams s;
  TermShell shell(s.out, s.err, s.in, false);
  EXPECT_EQ(shell.ProgramDataFolder(), KASTEL_TEST_BUILD_DATA_DIR);
}

}  // namespace
}  // namespace kastel::term
