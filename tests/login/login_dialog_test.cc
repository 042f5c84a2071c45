#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "login/ora_login.h"
#include "login/sql_login.h"
#include "scripted_view.h"
#include "support.h"

namespace kastel::login {
namespace {

using kastel::testing::ExpectError;

struct Expected {
  const char* name;
  ControlKind kind;
  const char* caption;
  std::vector<std::string> items;
};

void ExpectControls(const Dialog& d, const std::vector<Expected>& expected) {
  ASSERT_EQ(d.Controls().size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    const Control& c = d.Controls()[i];
    EXPECT_EQ(c.name, expected[i].name) << i;
    EXPECT_EQ(c.kind, expected[i].kind) << c.name;
    EXPECT_EQ(c.caption, expected[i].caption) << c.name;
    EXPECT_EQ(c.items, expected[i].items) << c.name;
  }
  EXPECT_EQ(d.FontName(), "MS UI Gothic");
  EXPECT_EQ(d.FontSize(), 9);
}

TEST(SqlLoginTest, HasItsCaptionAndControlsInTabOrder) {
  ScriptedView view([](Dialog&) {});
  SqlLogin d(view);
  EXPECT_EQ(d.Caption(), "SQL Server への接続");
  ExpectControls(d,
                 {{"lblDataSource", ControlKind::kLabel, "サーバー名(&S):", {}},
                  {"cmbDataSource", ControlKind::kComboBox, "", {"(local)"}},
                  {"lblAuth", ControlKind::kLabel, "認証(&A):", {}},
                  {"cmbAuth", ControlKind::kDropDownList, "", {"Windows 認証", "SQL Server 認証"}},
                  {"lblUserID", ControlKind::kLabel, "ログイン(&L):", {}},
                  {"txtUserID", ControlKind::kTextBox, "", {}},
                  {"lblPassword", ControlKind::kLabel, "パスワード(&P):", {}},
                  {"txtPassword", ControlKind::kTextBox, "", {}},
                  {"chkSavePwd", ControlKind::kCheckBox, "パスワードを保存する(&M)", {}},
                  {"lblDatabase", ControlKind::kLabel, "データベース(&D):", {}},
                  {"txtDatabase", ControlKind::kTextBox, "", {}},
                  {"cmdOK", ControlKind::kButton, "接続(&C)", {}},
                  {"cmdCancel", ControlKind::kButton, "キャンセル", {}}});
  EXPECT_TRUE(d.Get("txtPassword").password);
  EXPECT_FALSE(d.Get("txtUserID").password);
  EXPECT_TRUE(d.Get("cmdOK").is_default);
  EXPECT_TRUE(d.Get("cmdCancel").is_cancel);
}

TEST(SqlLoginTest, ShowModalHandsBackOnlyAfterOk) {
  struct Case {
    const char* what;
    SqlArgs in;
    ScriptedView::Script script;
    bool result;
    SqlArgs out;
  };
  const SqlArgs filled{"db1", false, "sa", "pw", "販売", true};
  const Case cases[] = {
      {"OK unchanged on an empty server gives (local)",
       {},
       [](Dialog& d) { d.PressEnter(); },
       true,
       {"(local)", false, "", "", "", false}},
      {"OK unchanged keeps every value", filled, [](Dialog& d) { d.Click("cmdOK"); }, true, filled},
      {"Windows authentication hands back the greyed login and password",
       {"srv", true, "old", "secret", "db", true},
       [](Dialog& d) { d.PressEnter(); },
       true,
       {"srv", true, "old", "secret", "db", true}},
      {"switching to SQL Server authentication and typing",
       {"", true, "", "", "", false},
       [](Dialog& d) {
         d.Choose("cmbAuth", 1);
         d.Type("txtUserID", "管理者");
         d.Type("txtPassword", "p;w}d");
         d.SetChecked("chkSavePwd", true);
         d.Type("cmbDataSource", "");
         d.Type("txtDatabase", "在庫");
         d.Click("cmdOK");
       },
       true,
       {"", false, "管理者", "p;w}d", "在庫", true}},
      {"choosing (local) from the list",
       filled,
       [](Dialog& d) {
         d.Choose("cmbDataSource", 0);
         d.Choose("cmbAuth", 0);
         d.PressEnter();
       },
       true,
       {"(local)", true, "sa", "pw", "販売", true}},
      {"Cancel after editing", filled,
       [](Dialog& d) {
         d.Type("cmbDataSource", "other");
         d.Choose("cmbAuth", 0);
         d.Type("txtDatabase", "x");
         d.Click("cmdCancel");
       },
       false, filled},
      {"Esc after editing", filled,
       [](Dialog& d) {
         d.Type("txtUserID", "x");
         d.PressEscape();
       },
       false, filled},
      {"a close by the host counts as Cancel", filled,
       [](Dialog& d) {
         d.Type("txtUserID", "x");
         EXPECT_TRUE(d.QueryClose(CloseMode::kHost));
       },
       false, filled},
      {"a view that ends without a button counts as Cancel", filled,
       [](Dialog& d) { d.Type("txtPassword", "x"); }, false, filled},
      {"the close box is refused and OK still works",
       filled,
       [](Dialog& d) {
         EXPECT_FALSE(d.QueryClose(CloseMode::kUserFrame));
         EXPECT_TRUE(d.Visible());
         d.Type("txtPassword", "new");
         d.PressEnter();
       },
       true,
       {"db1", false, "sa", "new", "販売", true}}};
  for (const Case& c : cases) {
    ScriptedView view(c.script);
    SqlLogin d(view);
    SqlArgs a = c.in;
    bool result = d.ShowModal(a.data_source, a.integrated, a.user, a.password, a.database, a.save);
    EXPECT_EQ(result, c.result) << c.what;
    EXPECT_EQ(a, c.out) << c.what;
    EXPECT_TRUE(view.was_visible()) << c.what;
    EXPECT_FALSE(d.Visible()) << c.what;
    EXPECT_EQ(view.shown(), 1) << c.what;
  }
}

TEST(SqlLoginTest, AuthenticationGreysOutLoginPasswordLabelsAndSaveBox) {
  struct Case {
    bool integrated;
    int choose;  // -1: leave as filled
    bool enabled;
    std::uint32_t color;
  };
  const Case cases[] = {{true, -1, false, kColorButtonFace},
                        {false, -1, true, kColorWindowBackground},
                        {true, 1, true, kColorWindowBackground},
                        {false, 0, false, kColorButtonFace}};
  for (const Case& c : cases) {
    ScriptedView view([&](Dialog& d) {
      if (c.choose >= 0) d.Choose("cmbAuth", c.choose);
      for (const char* name :
           {"txtUserID", "txtPassword", "lblUserID", "lblPassword", "chkSavePwd"}) {
        EXPECT_EQ(d.Get(name).enabled, c.enabled) << name << " " << c.integrated << c.choose;
      }
      for (const char* name : {"txtUserID", "txtPassword"}) {
        EXPECT_EQ(d.Get(name).back_color, c.color) << name;
      }
      for (const char* name : {"cmbDataSource", "cmbAuth", "txtDatabase", "lblDatabase", "cmdOK"}) {
        EXPECT_TRUE(d.Get(name).enabled) << name;
      }
      EXPECT_EQ(d.Get("txtUserID").text, "u");  // greyed fields keep their contents
      d.PressEnter();
    });
    SqlLogin d(view);
    SqlArgs a{"s", c.integrated, "u", "p", "d", true};
    d.ShowModal(a.data_source, a.integrated, a.user, a.password, a.database, a.save);
  }
}

TEST(SqlLoginTest, FocusSelectsTheWholeText) {
  struct Case {
    const char* control;
    const char* focused;
    int length;
  };
  const Case cases[] = {{"cmbDataSource", "cmbDataSource", 7},  // (local)
                        {"txtUserID", "txtUserID", 3},          // 管理者
                        {"txtPassword", "txtPassword", 4},      // 𠮷ab: a surrogate pair and two
                        {"txtDatabase", "txtDatabase", 0},
                        {"lblDatabase", "txtDatabase", 0}};  // a label passes the focus on
  ScriptedView view([&](Dialog& d) {
    for (const Case& c : cases) {
      d.Focus(c.control);
      EXPECT_EQ(d.Focused(), c.focused);
      EXPECT_EQ(d.Get(c.focused).sel_start, 0) << c.control;
      EXPECT_EQ(d.Get(c.focused).sel_length, c.length) << c.control;
    }
    d.Type("txtDatabase", "ab");
    EXPECT_EQ(d.Get("txtDatabase").sel_start, 2);
    d.Focus("txtDatabase");
    EXPECT_EQ(d.Get("txtDatabase").sel_length, 2);
    d.PressEnter();
  });
  SqlLogin d(view);
  SqlArgs a{"", false, "管理者", "𠮷ab", "", false};
  EXPECT_TRUE(d.ShowModal(a.data_source, a.integrated, a.user, a.password, a.database, a.save));
}

TEST(SqlLoginTest, RefusesWhatAPersonCouldNotDo) {
  const char* kInvalidCall = "プロシージャの呼び出し、または引数が不正です。";
  ScriptedView view([&](Dialog& d) {
    ExpectError([&] { d.Type("txtUserID", "x"); }, 5, kInvalidCall);
    ExpectError([&] { d.Focus("txtPassword"); }, 5, kInvalidCall);
    ExpectError([&] { d.SetChecked("chkSavePwd", true); }, 5, kInvalidCall);
    ExpectError([&] { d.Type("cmbAuth", "x"); }, 5, kInvalidCall);
    ExpectError([&] { d.Click("txtDatabase"); }, 5, kInvalidCall);
    ExpectError([&] { d.Choose("cmbAuth", 2); }, 380, "プロパティの値が不正です。");
    ExpectError([&] { d.Get("txtNothing"); }, 9, "インデックスが有効範囲にありません。");
    EXPECT_TRUE(d.Visible());
    d.PressEscape();
  });
  SqlLogin d(view);
  SqlArgs a{"", true, "", "", "", false};
  EXPECT_FALSE(d.ShowModal(a.data_source, a.integrated, a.user, a.password, a.database, a.save));
}

TEST(SqlLoginTest, EveryShowModalStartsWithTheOkFlagCleared) {
  int calls = 0;
  ScriptedView view([&](Dialog& d) {
    if (++calls == 1) d.PressEnter();  // the second time the view just ends
  });
  SqlLogin d(view);
  SqlArgs a{"x", false, "u", "p", "d", false};
  EXPECT_TRUE(d.ShowModal(a.data_source, a.integrated, a.user, a.password, a.database, a.save));
  SqlArgs b{"y", true, "", "", "", true};
  EXPECT_FALSE(d.ShowModal(b.data_source, b.integrated, b.user, b.password, b.database, b.save));
  EXPECT_EQ(b, (SqlArgs{"y", true, "", "", "", true}));
}

TEST(OraLoginTest, ShowModalHandsBackOnlyAfterOk) {
  struct Case {
    ScriptedView::Script script;
    bool result;
    std::vector<std::string> out;  // user, password, database, save ("1"/"0")
  };
  const Case cases[] = {{[](Dialog& d) { d.PressEnter(); }, true, {"scott", "tiger", "ORCL", "1"}},
                        {[](Dialog& d) {
                           d.Type("txtUserID", "hr");
                           d.Type("txtPassword", "");
                           d.SetChecked("chkSavePwd", false);
                           d.Type("txtDatabase", "//host:1521/XE");
                           d.Click("cmdOK");
                         },
                         true,
                         {"hr", "", "//host:1521/XE", "0"}},
                        {[](Dialog& d) {
                           d.Type("txtUserID", "hr");
                           d.Click("cmdCancel");
                         },
                         false,
                         {"scott", "tiger", "ORCL", "1"}},
                        {[](Dialog& d) { EXPECT_FALSE(d.QueryClose(CloseMode::kUserFrame)); },
                         false,
                         {"scott", "tiger", "ORCL", "1"}}};
  for (const Case& c : cases) {
    ScriptedView view(c.script);
    OraLogin d(view);
    EXPECT_EQ(d.Caption(), "Oracle への接続");
    std::string user = "scott", password = "tiger", database = "ORCL";
    bool save = true;
    EXPECT_EQ(d.ShowModal(user, password, database, save), c.result);
    EXPECT_EQ((std::vector<std::string>{user, password, database, save ? "1" : "0"}), c.out);
    EXPECT_EQ(view.AtShow("txtPassword").text, "tiger");
    EXPECT_TRUE(view.AtShow("chkSavePwd").checked);
  }
}

}  // namespace
}  // namespace kastel::login
