#include "login/login_text.h"

#include <vector>

#include "base/error.h"

namespace kastel::login {
namespace {

Error BadAnswer(const std::string& why) {
  return Error(static_cast<long>(RuntimeError::kInvalidCall), "KASTEL",
               "KASTEL_LOGIN が正しくありません: " + why);
}

}  // namespace

LoginAnswers ParseLoginAnswers(std::string_view text) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (true) {
    const std::size_t semicolon = text.find(';', start);
    parts.emplace_back(text.substr(start, semicolon - start));
    if (semicolon == std::string_view::npos) break;
    start = semicolon + 1;
  }
  if (parts.size() > 4)
    throw BadAnswer("項目は「サーバー;認証;ユーザー;データベース」の 4 つまでです。");
  parts.resize(4);
  LoginAnswers answers;
  auto set = [](std::optional<std::string>& field, const std::string& part) {
    if (!part.empty()) field = part;
  };
  set(answers.server, parts[0]);
  set(answers.auth, parts[1]);
  set(answers.user, parts[2]);
  set(answers.database, parts[3]);
  if (answers.auth && *answers.auth != "windows" && *answers.auth != "sql") {
    throw BadAnswer("認証には windows または sql を指定してください。");
  }
  return answers;
}

void AnswerLogin(Dialog& dialog, const LoginAnswers& answers) {
  for (const Control& c : dialog.Controls()) {
    // A greyed field takes no answer, as nobody could type into it.
    if (!c.enabled) continue;
    if (c.name == "cmbDataSource" && answers.server) {
      dialog.Type(c.name, *answers.server);
    } else if (c.name == "cmbAuth" && answers.auth) {
      dialog.Choose(c.name, *answers.auth == "windows" ? 0 : 1);
    } else if (c.name == "txtUserID" && answers.user) {
      dialog.Type(c.name, *answers.user);
    } else if (c.name == "txtPassword" && answers.password) {
      dialog.Type(c.name, *answers.password);
    } else if (c.name == "txtDatabase" && answers.database) {
      dialog.Type(c.name, *answers.database);
    }
  }
  dialog.PressEnter();
}

}  // namespace kastel::login
