// The login forms' view port: what a view is asked to do with a dialog. The dialogs own their
// state and rules (dialog.h); a view only shows them and passes on what the user does. The
// terminal view lives beside the shell adapter in src/term; a host's GUI form can stand in.
#ifndef KASTEL_LOGIN_FORM_VIEW_H_
#define KASTEL_LOGIN_FORM_VIEW_H_

#include "login/dialog.h"

namespace kastel::login {

class FormView {
 public:
  virtual ~FormView() = default;

  // Shows `dialog` modally, without an owner, and returns once dialog.Visible() is false.
  // The view shows what Controls() holds (captions, texts, choices, ticks, which controls are
  // enabled, passwords as "*") and lets the user act only through the dialog's action methods
  // (Focus, Type, Choose, SetChecked, Click, PressEnter, PressEscape, QueryClose). A view that
  // must end while the dialog is shown (its input ended, the host shuts down) calls
  // QueryClose(CloseMode::kHost), which counts as Cancel.
  virtual void ShowModal(Dialog& dialog) = 0;
};

}  // namespace kastel::login

#endif  // KASTEL_LOGIN_FORM_VIEW_H_
