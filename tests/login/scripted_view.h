// A form view driven by the test: it runs a script of user actions against the dialog it is
// asked to show, and keeps a copy of the controls as they stood when the dialog appeared.
#ifndef KASTEL_TESTS_LOGIN_SCRIPTED_VIEW_H_
#define KASTEL_TESTS_LOGIN_SCRIPTED_VIEW_H_

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "login/form_view.h"

namespace kastel::login {

class ScriptedView : public FormView {
 public:
  using Script = std::function<void(Dialog&)>;
  explicit ScriptedView(Script script) : script_(std::move(script)) {}

  void ShowModal(Dialog& dialog) override {
    ++shown_;
    was_visible_ = dialog.Visible();
    at_show_ = dialog.Controls();
    script_(dialog);
  }

  int shown() const { return shown_; }
  bool was_visible() const { return was_visible_; }
  // The control named `name` as the dialog first showed it.
  const Control& AtShow(std::string_view name) const {
    for (const Control& c : at_show_) {
      if (c.name == name) return c;
    }
    static const Control kNone;
    return kNone;
  }

 private:
  Script script_;
  int shown_ = 0;
  bool was_visible_ = false;
  std::vector<Control> at_show_;
};

// The arguments SqlLogin::ShowModal fills, compared as a whole.
struct SqlArgs {
  std::string data_source;
  bool integrated = false;
  std::string user, password, database;
  bool save = false;
  bool operator==(const SqlArgs&) const = default;
};

}  // namespace kastel::login

#endif  // KASTEL_TESTS_LOGIN_SCRIPTED_VIEW_H_
