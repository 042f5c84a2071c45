#include "calc/calc_login_view.h"

#include "calc/calc_shell.h"
#include "login/login_text.h"

namespace kastel::calc {

CalcLoginView::CalcLoginView(css::uno::Reference<css::uno::XComponentContext> context,
                             CalcShell& shell)
    : context_(std::move(context)), shell_(shell) {}

void CalcLoginView::ShowModal(login::Dialog& dialog) {
  std::optional<std::string> login = shell_.GetEnv("KASTEL_LOGIN");
  if (!login) {
    dialog.QueryClose(login::CloseMode::kHost);
    shell_.NoteCancelled();
    return;
  }
  login::LoginAnswers answers = login::ParseLoginAnswers(*login);
  answers.password = shell_.GetEnv("KASTEL_PASSWORD");
  login::AnswerLogin(dialog, answers);
}

}  // namespace kastel::calc
