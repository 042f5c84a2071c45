// The SQL Server login dialog: server, authentication, login name, password, whether to save
// the password, and the database. It stores nothing and connects to nothing; ShowModal shows
// the values passed in and hands back what the user entered, only when the user pressed 接続.
#ifndef KASTEL_LOGIN_SQL_LOGIN_H_
#define KASTEL_LOGIN_SQL_LOGIN_H_

#include <string>
#include <string_view>

#include "login/dialog.h"
#include "login/form_view.h"

namespace kastel::login {

class SqlLogin : public Dialog {
 public:
  // The dialog is shown through `view`, which must outlive it.
  explicit SqlLogin(FormView& view);

  // Fills the dialog from the arguments ("(local)" for an empty server; Windows
  // authentication chosen when `integrated_security`), shows it modally and, after OK, copies
  // the controls back into every argument and returns true. After Cancel (or a close by the
  // host) returns false and leaves every argument as it was.
  bool ShowModal(std::string& data_source, bool& integrated_security, std::string& user_id,
                 std::string& password, std::string& database, bool& save_pwd);

 protected:
  void OnChange(std::string_view name) override;

 private:
  // Greys out the login name, the password, their labels and the save box under Windows
  // authentication and enables them, with the combo's background, under SQL Server's.
  void AuthenticationChanged();

  FormView& view_;
};

}  // namespace kastel::login

#endif  // KASTEL_LOGIN_SQL_LOGIN_H_
