// The Oracle login dialog: user name, password, whether to save the password, and the connect
// string (the net service name). Like SqlLogin it only shows values and hands back, after OK,
// what the user entered.
#ifndef KASTEL_LOGIN_ORA_LOGIN_H_
#define KASTEL_LOGIN_ORA_LOGIN_H_

#include <string>

#include "login/dialog.h"
#include "login/form_view.h"

namespace kastel::login {

class OraLogin : public Dialog {
 public:
  // The dialog is shown through `view`, which must outlive it.
  explicit OraLogin(FormView& view);

  // Shows the four values and, after OK, copies the controls back and returns true; after
  // Cancel returns false with every argument as it was.
  bool ShowModal(std::string& user_id, std::string& password, std::string& database,
                 bool& save_pwd);

 private:
  FormView& view_;
};

}  // namespace kastel::login

#endif  // KASTEL_LOGIN_ORA_LOGIN_H_
