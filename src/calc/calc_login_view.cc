#include "calc/calc_login_view.h"

#include "calc/calc_shell.h"
#include "calc/env_answers.h"

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
  LoginAnswers answers = ParseLoginAnswers(*login);
  answers.password = shell_.GetEnv("KASTEL_PASSWORD");
  AnswerLogin(dialog, answers);
}

}  // namespace kastel::calc
