// The terminal shell: where message boxes go (its folder dialog is tried with the dialog).
#include "term/term_shell.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <sstream>
#include <string>

#include "util/shell.h"

namespace kastel::term {
namespace {

TEST(TermShellTest, MessageBoxesGoToTheStreamOfTheirIconWithLineBreaksAsLines) {
  const struct {
    int style;
    bool on_err;
  } cases[] = {{kMsgExclamation, true}, {16, true}, {kMsgInformation, false}, {0, false}};
  for (const auto& c : cases) {
    std::ostringstream out, err;
    std::istringstream in;
    TermShell shell(out, err, in, false);
    EXPECT_EQ(shell.MessageBox("一行目\r\n二行目\r三行目", c.style, "KASTEL"), kMsgOk);
    EXPECT_EQ((c.on_err ? err : out).str(), "一行目\n二行目\n三行目\n") << c.style;
    EXPECT_EQ((c.on_err ? out : err).str(), "") << c.style;
  }
}

TEST(TermShellTest, ATypedFolderExpandsTildeAndAMissingOneIsOfferedToBeMade) {
  const std::filesystem::path home =
      std::filesystem::temp_directory_path() / ("kastel-term-" + std::to_string(::getpid()));
  std::filesystem::create_directories(home);
  const struct {
    const char* typed;
    std::string expected;
    std::string asked;  // found in the prompts
  } cases[] = {
      {"~\n", home.string(), ""},
      {"~/made/deeper\ny\n", (home / "made/deeper").string(), "作りますか? [y/N]"},
      {"~/not\nn\n\n", "/last", "フォルダ '" + (home / "not").string() + "' はありません。"}};
  for (const auto& c : cases) {
    std::ostringstream out, err;
    std::istringstream in(c.typed);
    TermShell shell(out, err, in, true);
    shell.SetEnv("HOME", home.string());
    EXPECT_EQ(shell.BrowseForFolder("出力先", "/last"), c.expected) << c.typed;
    EXPECT_NE(err.str().find(c.asked), std::string::npos) << err.str();
  }
  EXPECT_TRUE(std::filesystem::is_directory(home / "made/deeper"));
  EXPECT_FALSE(std::filesystem::exists(home / "not"));
  std::filesystem::remove_all(home);
}

}  // namespace
}  // namespace kastel::term
