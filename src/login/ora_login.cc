#include "login/ora_login.h"

#include <vector>

namespace kastel::login {
namespace {

std::vector<Control> OraLoginControls() {
  return {
      LabelControl("lblUserID", "ユーザー名(&U):"),
      TextBoxControl("txtUserID"),
      LabelControl("lblPassword", "パスワード(&P):"),
      TextBoxControl("txtPassword", true),
      CheckBoxControl("chkSavePwd", "パスワードを保存する(&M)"),
      LabelControl("lblDatabase", "接続文字列(&H):"),
      TextBoxControl("txtDatabase"),
      ButtonControl("cmdOK", "接続(&C)", true),
      ButtonControl("cmdCancel", "キャンセル", false),
  };
}

}  // namespace

OraLogin::OraLogin(FormView& view) : Dialog("Oracle への接続", OraLoginControls()), view_(view) {}

bool OraLogin::ShowModal(std::string& user_id, std::string& password, std::string& database,
                         bool& save_pwd) {
  Mutable("txtUserID").text = user_id;
  Mutable("txtPassword").text = password;
  Mutable("txtDatabase").text = database;
  Mutable("chkSavePwd").checked = save_pwd;
  ShowThrough(view_);
  if (!ok()) return false;
  user_id = Get("txtUserID").text;
  password = Get("txtPassword").text;
  database = Get("txtDatabase").text;
  save_pwd = Get("chkSavePwd").checked;
  return true;
}

}  // namespace kastel::login
