#include "util/folder_browser_dialog.h"

#include <gtest/gtest.h>

#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "term/term_shell.h"

namespace kastel {
namespace {

TEST(FolderBrowserDialogTest, PropertiesReturnWhatWasWrittenAndStartEmpty) {
  std::ostringstream out, err;
  std::istringstream in;
  term::TermShell shell(out, err, in, false);
  FolderBrowserDialog d(shell);
  EXPECT_EQ(d.Description(), "");
  EXPECT_EQ(d.RootFolder(), "");
  EXPECT_EQ(d.SelectedPath(), "");
  EXPECT_FALSE(d.ShowNewFolderButton());

  d.SetDescription("出力先フォルダを指定してください。");
  d.SetRootFolder("/home/u/デスクトップ");
  d.SetSelectedPath("/srv/out/");
  d.SetShowNewFolderButton(true);
  EXPECT_EQ(d.Description(), "出力先フォルダを指定してください。");
  EXPECT_EQ(d.RootFolder(), "/home/u/デスクトップ");
  EXPECT_EQ(d.SelectedPath(), "/srv/out/");
  EXPECT_TRUE(d.ShowNewFolderButton());
}

// The dialog answered by a person at a terminal: what they type, and what it makes of it.
TEST(FolderBrowserDialogTest, ShowDialogReportsTheChoiceOrTheCancel) {
  struct Case {
    const char* what;
    std::string selected;  // SelectedPath before the dialog
    std::string typed;     // the terminal's input
    bool confirmed;
    std::string after;    // SelectedPath after
    std::string offered;  // the folder the prompt offers
  };
  const std::vector<Case> cases = {
      {"a typed folder", "/srv/a/", "/usr\n", true, "/usr", "[/srv/a/]"},
      {"an empty line takes the offered folder", "/srv/a/", "\n", true, "/srv/a/", "[/srv/a/]"},
      {"a typed folder with a NUL is cut there", "/srv/a/", std::string("/etc\0junk\n", 10), true,
       "/etc", "[/srv/a/]"},
      {"end of input cancels and keeps the path", "/srv/a/", "", false, "/srv/a/", "[/srv/a/]"},
      {"nothing selected offers the current folder", "", "\n", true, "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::ostringstream out, err;
    std::istringstream in(c.typed);
    term::TermShell shell(out, err, in, true);
    FolderBrowserDialog d(shell);
    d.SetDescription("出力先フォルダを指定してください。");
    d.SetSelectedPath(c.selected);
    EXPECT_EQ(d.ShowDialog(), c.confirmed);
    EXPECT_NE(err.str().find("出力先フォルダを指定してください。"), std::string::npos);
    if (c.selected.empty()) {
      // The current folder is offered and confirmed.
      EXPECT_EQ(d.SelectedPath(), shell.CurrentDirectory());
      EXPECT_NE(err.str().find("[" + shell.CurrentDirectory() + "]"), std::string::npos);
    } else {
      EXPECT_EQ(d.SelectedPath(), c.after);
      EXPECT_NE(err.str().find(c.offered), std::string::npos) << err.str();
    }
    EXPECT_EQ(shell.cancelled(), !c.confirmed);
  }
}

TEST(FolderBrowserDialogTest, RootFolderAndNewFolderButtonDoNotChangeTheDialog) {
  std::vector<std::string> prompts;
  for (bool touched : {false, true}) {
    std::ostringstream out, err;
    std::istringstream in("\n");
    term::TermShell shell(out, err, in, true);
    FolderBrowserDialog d(shell);
    d.SetDescription("選んでください");
    d.SetSelectedPath("/srv/x/");
    if (touched) {
      d.SetRootFolder("/elsewhere/デスクトップ");
      d.SetShowNewFolderButton(true);
    }
    ASSERT_TRUE(d.ShowDialog());
    EXPECT_EQ(d.SelectedPath(), "/srv/x/");
    prompts.push_back(err.str());
  }
  EXPECT_EQ(prompts[0], prompts[1]);
}

TEST(FolderBrowserDialogTest, AnAnsweredDialogIsConfirmedWithTheAnswer) {
  std::ostringstream out, err;
  std::istringstream in;
  term::TermShell shell(out, err, in, false);
  shell.SetFolderAnswer("/given/by/-o");
  FolderBrowserDialog d(shell);
  d.SetSelectedPath("/last/");
  EXPECT_TRUE(d.ShowDialog());
  EXPECT_EQ(d.SelectedPath(), "/given/by/-o");
  EXPECT_EQ(err.str(), "");  // nobody was asked
}

}  // namespace
}  // namespace kastel
