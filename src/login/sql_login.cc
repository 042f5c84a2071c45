#include "login/sql_login.h"

#include <cstdint>
#include <vector>

namespace kastel::login {
namespace {

std::vector<Control> SqlLoginControls() {
  return {
      LabelControl("lblDataSource", "サーバー名(&S):"),
      ComboControl("cmbDataSource", ControlKind::kComboBox, {"(local)"}),
      LabelControl("lblAuth", "認証(&A):"),
      ComboControl("cmbAuth", ControlKind::kDropDownList, {"Windows 認証", "SQL Server 認証"}),
      LabelControl("lblUserID", "ログイン(&L):"),
      TextBoxControl("txtUserID"),
      LabelControl("lblPassword", "パスワード(&P):"),
      TextBoxControl("txtPassword", true),
      CheckBoxControl("chkSavePwd", "パスワードを保存する(&M)"),
      LabelControl("lblDatabase", "データベース(&D):"),
      TextBoxControl("txtDatabase"),
      ButtonControl("cmdOK", "接続(&C)", true),
      ButtonControl("cmdCancel", "キャンセル", false),
  };
}

}  // namespace

SqlLogin::SqlLogin(FormView& view)
    : Dialog("SQL Server への接続", SqlLoginControls()), view_(view) {}

bool SqlLogin::ShowModal(std::string& data_source, bool& integrated_security, std::string& user_id,
                         std::string& password, std::string& database, bool& save_pwd) {
  Type("cmbDataSource", data_source.empty() ? "(local)" : data_source);
  Choose("cmbAuth", integrated_security ? 0 : 1);
  Mutable("txtUserID").text = user_id;
  Mutable("txtPassword").text = password;
  Mutable("txtDatabase").text = database;
  Mutable("chkSavePwd").checked = save_pwd;
  ShowThrough(view_);
  if (!ok()) return false;
  data_source = Get("cmbDataSource").text;
  integrated_security = Get("cmbAuth").list_index == 0;
  user_id = Get("txtUserID").text;
  password = Get("txtPassword").text;
  database = Get("txtDatabase").text;
  save_pwd = Get("chkSavePwd").checked;
  return true;
}

void SqlLogin::OnChange(std::string_view name) {
  if (name == "cmbAuth") AuthenticationChanged();
}

void SqlLogin::AuthenticationChanged() {
  bool sql_auth = Get("cmbAuth").list_index != 0;
  std::uint32_t back = sql_auth ? Get("cmbAuth").back_color : kColorButtonFace;
  for (const char* name : {"txtUserID", "txtPassword"}) {
    Control& c = Mutable(name);
    c.enabled = sql_auth;
    c.back_color = back;
  }
  for (const char* name : {"lblUserID", "lblPassword", "chkSavePwd"}) {
    Mutable(name).enabled = sql_auth;
  }
}

}  // namespace kastel::login
