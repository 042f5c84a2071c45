// A login form's answers given as one text, as KASTEL_LOGIN carries them where nobody can type
// into the form: "server;auth;user;database" (auth "windows" or "sql"; an empty part leaves
// the field as the form shows it). The password never travels in this text.
#ifndef KASTEL_LOGIN_LOGIN_TEXT_H_
#define KASTEL_LOGIN_LOGIN_TEXT_H_

#include <optional>
#include <string>
#include <string_view>

#include "login/dialog.h"

namespace kastel::login {

struct LoginAnswers {
  std::optional<std::string> server;
  std::optional<std::string> auth;
  std::optional<std::string> user;
  std::optional<std::string> database;
  std::optional<std::string> password;
};

// Splits "server;auth;user;database". Fails with error 5 for an auth other than "windows" or
// "sql", or more than four parts.
LoginAnswers ParseLoginAnswers(std::string_view text);

// Enters the answers into the dialog's enabled fields in tab order, as a person would type
// them, and presses OK.
void AnswerLogin(Dialog& dialog, const LoginAnswers& answers);

}  // namespace kastel::login

#endif  // KASTEL_LOGIN_LOGIN_TEXT_H_
