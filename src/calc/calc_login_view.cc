#include "calc/calc_login_view.h"

#include "calc/calc_shell.h"
#include "login/login_text.h"

namespace kastel::calc {

CalcLoginView::CalcLoginView(css::uno::Reference<css::uno::XComponentContext> context,
                             CalcShell& shell)
    : context_(std::move(context)), shell_(shell) {}

void CalcLoginView::ShowModal(login::Dialog& dialog) {
  if (shell_.headless()) {
    AnswerFromEnvironment(dialog);
  } else if (!ShowWindow(dialog)) {
    shell_.NoteCancelled();
  }
  // A view that returns with the form still shown has closed it.
  if (dialog.Visible()) dialog.QueryClose(login::CloseMode::kHost);
}

void CalcLoginView::AnswerFromEnvironment(login::Dialog& dialog) {
  std::optional<std::string> login = shell_.GetEnv("KASTEL_LOGIN");
  if (!login) {
    shell_.NoteCancelled();
    return;
  }
  login::LoginAnswers answers = login::ParseLoginAnswers(*login);
  answers.password = shell_.GetEnv("KASTEL_PASSWORD");
  login::AnswerLogin(dialog, answers);
}

}  // namespace kastel::calc
