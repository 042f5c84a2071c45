// The folder dialog answered through the real terminal shell: by the -o option, by a person
// typing, or as pressing OK unchanged when nobody is there.
#include "util/folder_browser_dialog.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>

#include "term/term_shell.h"

namespace kastel {
namespace {

TEST(FolderBrowserDialogTest, ShowDialogReportsTheChoiceOrTheCancel) {
  const std::string cwd = std::filesystem::current_path().string();
  const struct {
    const char* what;
    bool interactive;
    const char* option;  // -o; nullptr: none
    std::string selected, typed;
    bool confirmed;
    std::string after, prompt;  // SelectedPath after; what stderr shows ("" when nobody asked)
  } cases[] = {
      {"the option wins", true, "/given/-o", "/srv/a/", "/typed\n", true, "/given/-o", ""},
      {"nobody there: the offered folder", false, nullptr, "/srv/a/", "", true, "/srv/a/", ""},
      {"nobody there, nothing offered", false, nullptr, "", "", true, cwd, ""},
      {"a typed folder", true, nullptr, "/srv/a/", "/usr\n", true, "/usr", "[/srv/a/]"},
      {"an empty line takes the offer", true, nullptr, "/srv/a/", "\n", true, "/srv/a/",
       "[/srv/a/]"},
      {"a NUL cuts the typed folder", true, nullptr, "/srv/a/", std::string("/etc\0junk\n", 10),
       true, "/etc", "[/srv/a/]"},
      {"end of input cancels", true, nullptr, "/srv/a/", "", false, "/srv/a/", "[/srv/a/]"},
      {"nothing selected offers the current folder", true, nullptr, "", "\n", true, cwd,
       "[" + cwd + "]"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::string shown[2];
    for (bool touched : {false, true}) {  // root folder and new-folder button change nothing
      std::ostringstream out, err;
      std::istringstream in(c.typed);
      term::TermShell shell(out, err, in, c.interactive);
      if (c.option) shell.SetFolderAnswer(c.option);
      FolderBrowserDialog d(shell);
      d.SetDescription("出力先フォルダを指定してください。");
      d.SetSelectedPath(c.selected);
      if (touched) {
        d.SetRootFolder("/elsewhere/デスクトップ");
        d.SetShowNewFolderButton(true);
      }
      EXPECT_EQ(d.ShowDialog(), c.confirmed);
      EXPECT_EQ(d.SelectedPath(), c.after);
      EXPECT_EQ(shell.cancelled(), !c.confirmed);
      EXPECT_EQ(out.str(), "");
      shown[touched] = err.str();
    }
    EXPECT_EQ(shown[0], shown[1]);
    if (c.prompt.empty()) {
      EXPECT_EQ(shown[0], "");
    } else {
      EXPECT_NE(shown[0].find("出力先フォルダを指定してください。"), std::string::npos);
      EXPECT_NE(shown[0].find(c.prompt), std::string::npos) << shown[0];
    }
  }
}

}  // namespace
}  // namespace kastel
