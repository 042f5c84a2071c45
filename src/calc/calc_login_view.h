// The login forms inside the office. Without a window to show them in (a headless office),
// and until the form has its own dialog, the form is answered from the environment
// (env_answers.h); without KASTEL_LOGIN it counts as cancelled.
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
  css::uno::Reference<css::uno::XComponentContext> context_;
  CalcShell& shell_;
};

}  // namespace kastel::calc

#endif  // KASTEL_CALC_CALC_LOGIN_VIEW_H_
