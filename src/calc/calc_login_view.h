// The login forms inside the office: a modal dialog of the office's own toolkit that shows the
// form's controls and passes what the user does on to the form, which keeps its own rules
// (what a change of authentication greys out, what OK hands back). The close box is refused,
// as the form wants; Esc and the two buttons end it.
//
// Without a window (a headless office) the form is answered from the environment instead:
// KASTEL_LOGIN (login/login_text.h) and the password from KASTEL_PASSWORD. Without
// KASTEL_LOGIN it counts as cancelled. A cancelled form is noted with the shell, so that the
// command's dispatch result says so.
#ifndef KASTEL_CALC_CALC_LOGIN_VIEW_H_
#define KASTEL_CALC_CALC_LOGIN_VIEW_H_

#include <com/sun/star/uno/XComponentContext.hpp>

#include "login/form_view.h"

namespace kastel::calc {

class CalcShell;

class CalcLoginView final : public login::FormView {
 public:
  // `shell` must outlive the view.
  CalcLoginView(css::uno::Reference<css::uno::XComponentContext> context, CalcShell& shell);
  void ShowModal(login::Dialog& dialog) override;

 private:
  void AnswerFromEnvironment(login::Dialog& dialog);
  // False when the user cancelled the form.
  bool ShowWindow(login::Dialog& dialog);

  css::uno::Reference<css::uno::XComponentContext> context_;
  CalcShell& shell_;
};

}  // namespace kastel::calc

#endif  // KASTEL_CALC_CALC_LOGIN_VIEW_H_
