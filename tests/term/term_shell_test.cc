// The terminal shell: where message boxes go (its folder dialog is tried with the dialog).
#include "term/term_shell.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace kastel::term
