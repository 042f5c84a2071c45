#include "term/login_view.h"

#include <gtest/gtest.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <sstream>
#include <streambuf>
#include <string>
#include <vector>

#include "login/sql_login.h"
#include "scripted_view.h"
#include "support.h"
#include "term/term_shell.h"

namespace kastel::term {
namespace {

using kastel::login::SqlArgs;
using kastel::testing::ExpectError;

// A terminal with `input` typed (or piped) in; collects what the view writes.
struct Terminal {
  explicit Terminal(std::string input) : in(std::move(input)), shell(out, err, in, false) {}
  std::istringstream in;
  std::ostringstream out, err;
  TermShell shell;
};

TEST(TermLoginViewTest, AnswersFromOptionsAsPressingOkWould) {
  struct Case {
    const char* what;
    LoginAnswers answers;
    const char* env_password;  // nullptr: unset
    const char* stdin_text;
    SqlArgs in, out;
  };
  const SqlArgs stored{"", false, "sa", "old", "db", true};
  const Case cases[] = {
      {"no answers: what the dialog shows",
       {},
       nullptr,
       "",
       stored,
       {"(local)", false, "sa", "old", "db", true}},
      {"every answer, password from the environment",
       {"srv\\INST", "sql", "管理者", "販売", false, false},
       "p;w}d",
       "",
       stored,
       {"srv\\INST", false, "管理者", "p;w}d", "販売", false}},
      {"password from standard input wins over the environment",
       {std::nullopt, std::nullopt, std::nullopt, std::nullopt, std::nullopt, true},
       "env",
       "from stdin\nnext line\n",
       stored,
       {"(local)", false, "sa", "from stdin", "db", true}},
      {"windows authentication leaves the greyed fields as they were",
       {"srv", "windows", "ignored", std::nullopt, true, false},
       "ignored too",
       "",
       stored,
       {"srv", true, "sa", "old", "db", true}},
      {"sql authentication chosen on a workbook that used windows",
       {std::nullopt, "sql", "u", std::nullopt, std::nullopt, false},
       nullptr,
       "",
       {"s", true, "", "", "d", false},
       {"s", false, "u", "", "d", false}}};
  for (const Case& c : cases) {
    Terminal t(c.stdin_text);
    if (c.env_password) t.shell.SetEnv("KASTEL_PASSWORD", c.env_password);
    TermLoginView view(t.err, t.in, false, c.answers, t.shell);
    login::SqlLogin d(view);
    SqlArgs a = c.in;
    EXPECT_TRUE(d.ShowModal(a.data_source, a.integrated, a.user, a.password, a.database, a.save))
        << c.what;
    EXPECT_EQ(a, c.out) << c.what;
    EXPECT_FALSE(view.cancelled()) << c.what;
    EXPECT_EQ(t.err.str().find(a.password.empty() ? "\x01" : a.password), std::string::npos);
  }
}

TEST(TermLoginViewTest, RefusesAnUnknownAuthentication) {
  Terminal t("");
  LoginAnswers answers;
  answers.auth = "kerberos";
  ExpectError([&] { TermLoginView view(t.err, t.in, false, answers, t.shell); }, 5,
              "認証には windows または sql を指定してください。");
}

TEST(TermLoginViewTest, AsksAPersonFieldByField) {
  struct Case {
    const char* what;
    const char* typed;
    SqlArgs in;
    bool result;
    SqlArgs out;
  };
  const SqlArgs stored{"db1", false, "sa", "old", "販売", false};
  const Case cases[] = {
      {"Enter everywhere keeps every value", "\n\n\n\n\n\n\n", stored, true, stored},
      {"typing replaces, a blank line empties",
       "srv2\n\n管理者\nnew secret\ny\n \n\n",
       stored,
       true,
       {"srv2", false, "管理者", "new secret", "", true}},
      {"windows authentication skips the greyed fields",
       "\n1\n在庫\n\n",
       stored,
       true,
       {"db1", true, "sa", "old", "在庫", false}},
      {"a wrong choice is asked again",
       "\n7\nx\n2\n\n\n\n\n\n",
       {"", true, "", "", "", false},
       true,
       {"(local)", false, "", "", "", false}},
      {"q cancels", "other\n\nx\ny\n\n\nq\n", stored, false, stored},
      {"e starts over",
       "a\n\n\n\n\n\ne\nb\n\n\n\n\n\n\n",
       stored,
       true,
       {"b", false, "sa", "old", "販売", false}},
      {"the end of input cancels", "other\n\nx\n", stored, false, stored}};
  for (const Case& c : cases) {
    Terminal t(c.typed);
    TermLoginView view(t.err, t.in, true, {}, t.shell);
    login::SqlLogin d(view);
    SqlArgs a = c.in;
    EXPECT_EQ(d.ShowModal(a.data_source, a.integrated, a.user, a.password, a.database, a.save),
              c.result)
        << c.what;
    EXPECT_EQ(a, c.out) << c.what;
    EXPECT_EQ(view.cancelled(), !c.result) << c.what;
    const std::string shown = t.err.str();
    EXPECT_NE(shown.find("[SQL Server への接続]"), std::string::npos) << c.what;
    EXPECT_NE(shown.find("サーバー名: ["), std::string::npos) << c.what;
    if (a.integrated) {
      EXPECT_NE(shown.find("ログイン: (無効)"), std::string::npos) << shown;
    }
    for (const char* secret : {"old", "new secret"}) {
      EXPECT_EQ(shown.find(secret), std::string::npos) << c.what << ": " << shown;
    }
  }
}

TEST(TermLoginViewTest, OffersTheCommandLinesAnswersToAPerson) {
  Terminal t("\n\n\n\n\n\n\n");
  t.shell.SetEnv("KASTEL_PASSWORD", "from env");
  LoginAnswers answers;
  answers.server = "srv";
  answers.user = "u";
  answers.password_stdin = true;  // ignored: the person types on standard input
  TermLoginView view(t.err, t.in, true, answers, t.shell);
  login::SqlLogin d(view);
  SqlArgs a{"", false, "", "", "db", false};
  EXPECT_TRUE(d.ShowModal(a.data_source, a.integrated, a.user, a.password, a.database, a.save));
  EXPECT_EQ(a, (SqlArgs{"srv", false, "u", "from env", "db", false}));
  EXPECT_NE(t.err.str().find("サーバー名: [srv]"), std::string::npos);
  EXPECT_EQ(t.err.str().find("from env"), std::string::npos);
}

// Input that notes, whenever the view reads a line, whether the terminal echoes.
class EchoWatchingInput : public std::streambuf {
 public:
  EchoWatchingInput(int tty, std::vector<std::string> lines)
      : tty_(tty), lines_(std::move(lines)) {}
  std::vector<bool> echo_per_line;

 protected:
  int_type underflow() override {
    if (next_ >= lines_.size()) return traits_type::eof();
    termios t{};
    tcgetattr(tty_, &t);
    echo_per_line.push_back((t.c_lflag & ECHO) != 0);
    current_ = lines_[next_++] + "\n";
    setg(current_.data(), current_.data(), current_.data() + current_.size());
    return traits_type::to_int_type(current_[0]);
  }

 private:
  int tty_;
  std::vector<std::string> lines_;
  std::size_t next_ = 0;
  std::string current_;
};

TEST(TermLoginViewTest, ReadsThePasswordWithoutEcho) {
  int master = -1, slave = -1;
  ASSERT_EQ(openpty(&master, &slave, nullptr, nullptr, nullptr), 0);
  EchoWatchingInput typed(slave, {"srv", "2", "sa", "secret", "n", "db", ""});
  std::istream in(&typed);
  std::ostringstream err, out;
  TermShell shell(out, err, in, true);
  TermLoginView view(err, in, true, {}, shell, slave);
  login::SqlLogin d(view);
  SqlArgs a;
  EXPECT_TRUE(d.ShowModal(a.data_source, a.integrated, a.user, a.password, a.database, a.save));
  EXPECT_EQ(a, (SqlArgs{"srv", false, "sa", "secret", "db", false}));
  EXPECT_EQ(typed.echo_per_line, (std::vector<bool>{true, true, true, false, true, true, true}));
  termios after{};
  tcgetattr(slave, &after);
  EXPECT_NE(after.c_lflag & ECHO, 0u);
  close(master);
  close(slave);
}

}  // namespace
}  // namespace kastel::term
