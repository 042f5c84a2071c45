// The PostgreSQL login dialog: server (host, or host and port as "host,port"), user name,
// password, whether to save the password, database and schema. Like the other login dialogs it
// stores nothing and connects to nothing; ShowModal hands back what the user entered, only when
// the user pressed 接続.
#ifndef KASTEL_LOGIN_PGS_LOGIN_H_
#define KASTEL_LOGIN_PGS_LOGIN_H_

#include <string>

#include "login/dialog.h"
#include "login/form_view.h"

namespace kastel::login {

class PgsLogin : public Dialog {
 public:
  // The dialog is shown through `view`, which must outlive it.
  explicit PgsLogin(FormView& view);

  // Fills the dialog from the arguments ("localhost" for an empty server, "public" for an
  // empty schema), shows it modally and, after OK, copies the controls back into every
  // argument and returns true. After Cancel returns false and leaves every argument as it was.
  bool ShowModal(std::string& data_source, std::string& user_id, std::string& password,
                 std::string& database, std::string& schema, bool& save_pwd);

 private:
  FormView& view_;
};

}  // namespace kastel::login

#endif  // KASTEL_LOGIN_PGS_LOGIN_H_
