#include "login/pgs_login.h"

#include <vector>

namespace kastel::login {
namespace {

std::vector<Control> PgsLoginControls() {
  return {
      LabelControl("lblDataSource", "サーバー名(&S):"),
      ComboControl("cmbDataSource", ControlKind::kComboBox, {"localhost"}),
      LabelControl("lblUserID", "ユーザー名(&U):"),
      TextBoxControl("txtUserID"),
      LabelControl("lblPassword", "パスワード(&P):"),
      TextBoxControl("txtPassword", true),
      CheckBoxControl("chkSavePwd", "パスワードを保存する(&M)"),
      LabelControl("lblDatabase", "データベース(&D):"),
      TextBoxControl("txtDatabase"),
      LabelControl("lblSchema", "スキーマ(&H):"),
      TextBoxControl("txtSchema"),
      ButtonControl("cmdOK", "接続(&C)", true),
      ButtonControl("cmdCancel", "キャンセル", false),
  };
}

}  // namespace

PgsLogin::PgsLogin(FormView& view)
    : Dialog("PostgreSQL への接続", PgsLoginControls()), view_(view) {}

bool PgsLogin::ShowModal(std::string& data_source, std::string& user_id, std::string& password,
                         std::string& database, std::string& schema, bool& save_pwd) {
  Type("cmbDataSource", data_source.empty() ? "localhost" : data_source);
  Mutable("txtUserID").text = user_id;
  Mutable("txtPassword").text = password;
  Mutable("txtDatabase").text = database;
  Mutable("txtSchema").text = schema.empty() ? "public" : schema;
  Mutable("chkSavePwd").checked = save_pwd;
  ShowThrough(view_);
  if (!ok()) return false;
  data_source = Get("cmbDataSource").text;
  user_id = Get("txtUserID").text;
  password = Get("txtPassword").text;
  database = Get("txtDatabase").text;
  schema = Get("txtSchema").text;
  save_pwd = Get("chkSavePwd").checked;
  return true;
}

}  // namespace kastel::login
