// The login form answered from one text, as KASTEL_LOGIN gives it.
#include "login/login_text.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>

#include "base/error.h"
#include "login/form_view.h"
#include "login/sql_login.h"

namespace kastel::login {
namespace {

using Opt = std::optional<std::string>;

TEST(LoginTextTest, SplitsServerAuthUserAndDatabaseLeavingEmptyPartsOpen) {
  struct Case {
    const char* text;
    Opt server, auth, user, database;
  };
  const Case cases[] = {
      {"db1;sql;sa;master", "db1", "sql", "sa", "master"},
      {";windows;;", std::nullopt, "windows", std::nullopt, std::nullopt},
      {"db1", "db1", std::nullopt, std::nullopt, std::nullopt},
      {";;scott;ORCL", std::nullopt, std::nullopt, "scott", "ORCL"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const LoginAnswers a = ParseLoginAnswers(c.text);
    EXPECT_EQ(a.server, c.server);
    EXPECT_EQ(a.auth, c.auth);
    EXPECT_EQ(a.user, c.user);
    EXPECT_EQ(a.database, c.database);
  }
}

TEST(LoginTextTest, RefusesAnUnknownAuthenticationAndExtraParts) {
  for (const char* text : {"db1;kerberos;sa;master", "db1;sql;sa;master;x", "db1;SQL"}) {
    SCOPED_TRACE(text);
    try {
      ParseLoginAnswers(text);
      ADD_FAILURE() << "accepted";
    } catch (const Error& e) {
      EXPECT_EQ(e.number(), 5);
      EXPECT_NE(e.description().find("KASTEL_LOGIN"), std::string::npos);
    }
  }
}

// Answers the dialog when it is shown.
class AnsweringView final : public FormView {
 public:
  explicit AnsweringView(LoginAnswers answers) : answers_(std::move(answers)) {}
  void ShowModal(Dialog& dialog) override { AnswerLogin(dialog, answers_); }

 private:
  LoginAnswers answers_;
};

TEST(LoginTextTest, AnswersTypeIntoEnabledFieldsAndPressOk) {
  // Windows authentication greys out the login and password: their answers are not typed.
  AnsweringView view(LoginAnswers{"db2", "windows", "sa", "master", "secret"});
  SqlLogin dialog(view);
  std::string server, user = "old", password = "kept", database;
  bool integrated = false, save = false;
  ASSERT_TRUE(dialog.ShowModal(server, integrated, user, password, database, save));
  EXPECT_EQ(server, "db2");
  EXPECT_TRUE(integrated);
  EXPECT_EQ(user, "old");
  EXPECT_EQ(password, "kept");
  EXPECT_EQ(database, "master");
}

}  // namespace
}  // namespace kastel::login
