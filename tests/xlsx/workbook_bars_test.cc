// Command bars and their controls, button clicks, and the add-in connection.
#include <gtest/gtest.h>

#include "base/error.h"
#include "workbook_fixture.h"

namespace kastel::xlsx::testing {
namespace {

const char* kDeleted = "このコマンド バーまたはコントロールは既に削除されています。";
const char* kUnsupported = "オブジェクトは、このプロパティまたはメソッドをサポートしていません。";
const char* kInvalidCall = "プロシージャの呼び出し、または引数が不正です。";
const char* kSubscriptText = "インデックスが有効範囲にありません。";

std::shared_ptr<host::CommandBarControl> AddButton(host::CommandBarControls& to,
                                                   const std::string& caption) {
  auto button = to.Add(host::ControlType::kButton);
  button->SetCaption(caption);
  return button;
}

TEST(CommandBars, LookUpByNameFailingWithError5WhenAbsent) {
  TestApp t;
  host::CommandBars& bars = t.app.Bars();
  ExpectError([&] { bars.Item("KASTEL"); }, 5, kInvalidCall);
  auto bar = bars.Add("KASTEL");
  EXPECT_EQ(bars.Item("KASTEL"), bar);
  EXPECT_EQ(bars.Item("kastel"), bar);
  EXPECT_FALSE(bar->Visible());
  EXPECT_EQ(bar->Controls().Count(), 0);
  ExpectError([&] { bars.Add("KASTEL"); }, 5, kInvalidCall);
  bar->Delete();
  ExpectError([&] { bars.Item("KASTEL"); }, 5, kInvalidCall);
  ExpectError([&] { bar->Controls(); }, kHostError, kDeleted);
  ExpectError([&] { bar->SetVisible(true); }, kHostError, kDeleted);
  EXPECT_TRUE(t.app.AllBars().empty());
  EXPECT_NE(bars.Add("KASTEL"), bar);  // a new bar of the same name
}

TEST(CommandBars, HoldButtonsAndPopupsWithTheHostsDefaults) {
  TestApp t;
  auto bar = t.app.Bars().Add("KASTEL");
  auto popup = bar->Controls().Add(host::ControlType::kPopup);
  auto button = bar->Controls().Add(host::ControlType::kButton);
  struct Case {
    std::shared_ptr<host::CommandBarControl> control;
    const char* type_name;
  } cases[] = {{popup, "CommandBarPopup"}, {button, "CommandBarButton"}};
  for (const auto& c : cases) {
    EXPECT_EQ(c.control->TypeName(), c.type_name);
    EXPECT_EQ(c.control->Style(), 0);
    EXPECT_TRUE(c.control->Enabled());
    EXPECT_TRUE(c.control->Visible());
    EXPECT_EQ(c.control->Caption(), "");
  }
  EXPECT_EQ(popup->Controls().Count(), 0);
  ExpectError([&] { button->Controls(); }, 438, kUnsupported);
  ExpectError([&] { popup->OnClick([](host::CommandBarControl&, bool&) {}); }, 438, kUnsupported);
}

TEST(CommandBars, FindControlsByCaptionAndPosition) {
  TestApp t;
  auto bar = t.app.Bars().Add("KASTEL");
  auto popup = bar->Controls().Add(host::ControlType::kPopup);
  popup->SetCaption("新規作成");
  auto sql = AddButton(popup->Controls(), "SQL Server");
  auto ora = AddButton(popup->Controls(), "Oracle");
  auto first = AddButton(bar->Controls(), "シート追加");
  AddButton(bar->Controls(), "シート追加");
  EXPECT_EQ(bar->Controls().Item("シート追加"), first);
  EXPECT_EQ(bar->Controls().Item(1), popup);
  EXPECT_EQ(popup->Controls().Item(2), ora);
  for (int index : {0, 4}) {
    ExpectError([&] { bar->Controls().Item(index); }, 9, kSubscriptText);
  }
  ExpectError([&] { bar->Controls().Item("スクリプト出力"); }, 9, kSubscriptText);
  EXPECT_EQ(FindControl(*bar, {"新規作成", "SQL Server"}), sql);
  EXPECT_EQ(FindControl(*bar, {"新規作成", "PostgreSQL"}), nullptr);
  EXPECT_EQ(FindControl(*bar, {"シート追加", "SQL Server"}), nullptr);
}

TEST(CommandBars, DeletedControlsLeaveTheirParentAndRefuseEveryUse) {
  TestApp t;
  auto bar = t.app.Bars().Add("KASTEL");
  auto popup = bar->Controls().Add(host::ControlType::kPopup);
  auto inner = AddButton(popup->Controls(), "SQL Server");
  auto button = AddButton(bar->Controls(), "シート追加");
  button->Delete();
  EXPECT_EQ(bar->Controls().Count(), 1);
  ExpectError([&] { button->Caption(); }, kHostError, kDeleted);
  ExpectError([&] { button->SetEnabled(true); }, kHostError, kDeleted);
  ExpectError([&] { button->Delete(); }, kHostError, kDeleted);
  EXPECT_FALSE(t.app.Press(*button));
  popup->Delete();
  EXPECT_EQ(bar->Controls().Count(), 0);
  ExpectError([&] { inner->Enabled(); }, kHostError, kDeleted);
  // Emptying a bar the way a restart does.
  AddButton(bar->Controls(), "a");
  AddButton(bar->Controls(), "b");
  while (bar->Controls().Count() > 0) bar->Controls().Item(1)->Delete();
  EXPECT_EQ(bar->Controls().Count(), 0);
}

TEST(Press, RaisesClickOncePerPressOnlyOnAnEnabledVisibleButton) {
  TestApp t;
  auto bar = t.app.Bars().Add("KASTEL");
  auto button = AddButton(bar->Controls(), "テーブル一覧更新");
  auto popup = bar->Controls().Add(host::ControlType::kPopup);
  int a = 0, b = 0;
  host::CommandBarControl* seen = nullptr;
  Subscription sa = button->OnClick([&](host::CommandBarControl& ctrl, bool& cancel) {
    ++a;
    seen = &ctrl;
    EXPECT_FALSE(cancel);
  });
  Subscription sb = button->OnClick([&](host::CommandBarControl&, bool&) { ++b; });
  EXPECT_TRUE(t.app.Press(*button));
  EXPECT_EQ(a, 1);
  EXPECT_EQ(b, 1);
  EXPECT_EQ(seen, button.get());
  sb.reset();
  EXPECT_TRUE(t.app.Press(*button));
  EXPECT_EQ(a, 2);
  EXPECT_EQ(b, 1);
  button->SetEnabled(false);
  EXPECT_FALSE(t.app.Press(*button));
  button->SetEnabled(true);
  button->SetVisible(false);
  EXPECT_FALSE(t.app.Press(*button));
  EXPECT_FALSE(t.app.Press(*popup));
  EXPECT_EQ(a, 2);
}

TEST(Press, SurvivesAHandlerThatDeletesItsOwnButton) {
  TestApp t;
  auto bar = t.app.Bars().Add("KASTEL");
  auto button = AddButton(bar->Controls(), "x");
  int later = 0;
  Subscription s1 = button->OnClick([&](host::CommandBarControl& c, bool&) { c.Delete(); });
  Subscription s2 = button->OnClick([&](host::CommandBarControl&, bool&) { ++later; });
  host::CommandBarControl& raw = *button;
  button.reset();  // only the bar held it
  EXPECT_TRUE(t.app.Press(raw));
  EXPECT_EQ(later, 0);  // deleted controls take no more clicks
  EXPECT_EQ(bar->Controls().Count(), 0);
}

class RecordingAddIn : public host::AddIn {
 public:
  void OnConnection(host::Application& app, int mode) override {
    log += "connect " + std::to_string(mode) + ";";
    EXPECT_EQ(app.ActiveWorkbook(), nullptr);
  }
  void OnDisconnection(int mode) override { log += "disconnect " + std::to_string(mode) + ";"; }
  void OnStartupComplete() override { log += "startup;"; }
  void OnBeginShutdown() override { log += "shutdown;"; }
  std::string log;
};

TEST(AddIns, AreConnectedThenToldOfStartUpAndDisconnectedWithTheRemoveMode) {
  struct Case {
    int remove_mode;
    const char* log;
  } cases[] = {{1, "connect 3;startup;disconnect 1;"},
               {0, "connect 3;startup;shutdown;disconnect 0;"}};
  for (const auto& c : cases) {
    TestApp t;
    RecordingAddIn addin;
    t.app.ConnectAddIn(addin, 3);
    t.app.DisconnectAddIns(c.remove_mode);
    t.app.DisconnectAddIns(c.remove_mode);  // nothing left to disconnect
    EXPECT_EQ(addin.log, c.log);
  }
}

}  // namespace
}  // namespace kastel::xlsx::testing
