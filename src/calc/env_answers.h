// The answers a login form takes from the environment where no window can be shown:
// KASTEL_LOGIN="server;auth;user;database" (auth "windows" or "sql"; an empty part is left as
// the form shows it) and the password from KASTEL_PASSWORD.
#ifndef KASTEL_CALC_ENV_ANSWERS_H_
#define KASTEL_CALC_ENV_ANSWERS_H_

#include <optional>
#include <string>
#include <string_view>

#include "login/dialog.h"

namespace kastel::calc {

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
void AnswerLogin(login::Dialog& dialog, const LoginAnswers& answers);

}  // namespace kastel::calc

#endif  // KASTEL_CALC_ENV_ANSWERS_H_
