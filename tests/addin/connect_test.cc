// The add-in's life in the real headless application: the bar it builds, reconnection,
// removal, and the buttons following the active workbook.
#include <gtest/gtest.h>

#include <string>

#include "addin_fixture.h"

namespace kastel::addin {
namespace {

using ConnectTest = AddInTest;

TEST_F(ConnectTest, ConnectionBuildsTheBarExactly) {
  app_.ConnectAddIn(connect_, 1);
  ASSERT_EQ(Bars(app_).size(), 1u);
  host::CommandBar& bar = *Bars(app_).front();
  EXPECT_TRUE(bar.Visible());
  ASSERT_EQ(bar.Controls().Count(), 6);
  auto popup = bar.Controls().Item(1);
  EXPECT_EQ(popup->Type(), host::ControlType::kPopup);
  EXPECT_EQ(popup->Caption(), "新規作成");
  EXPECT_EQ(popup->ToolTipText(), "新規作成");
  ASSERT_EQ(popup->Controls().Count(), 2);
  const struct {
    std::shared_ptr<host::CommandBarControl> control;
    const char* caption;
    int face_id, style;
    bool enabled;
  } buttons[] = {{popup->Controls().Item(1), "SQL Server", 18, 3, true},
                 {popup->Controls().Item(2), "Oracle", 18, 3, true},
                 {bar.Controls().Item(2), "シート追加", 530, 1, false},
                 {bar.Controls().Item(3), "テーブル一覧更新", 737, 1, false},
                 {bar.Controls().Item(4), "スクリプト出力", 528, 1, false},
                 {bar.Controls().Item(5), "リバースエンジニア", 2035, 1, false},
                 {bar.Controls().Item(6), "テンプレート表示切替", 248, 1, false}};
  for (const auto& b : buttons) {
    EXPECT_EQ(b.control->Type(), host::ControlType::kButton);
    EXPECT_EQ(b.control->Caption(), b.caption);
    EXPECT_EQ(b.control->ToolTipText(), b.caption);
    EXPECT_EQ(b.control->FaceId(), b.face_id) << b.caption;
    EXPECT_EQ(b.control->Style(), b.style) << b.caption;
    EXPECT_EQ(b.control->Enabled(), b.enabled) << b.caption;
    EXPECT_TRUE(b.control->Visible());
  }
  EXPECT_EQ(out_.str() + err_.str(), "");
}

TEST_F(ConnectTest, ReconnectionRefillsTheSameBarAndRemovalAloneDeletesIt) {
  app_.ConnectAddIn(connect_, 1);
  app_.DisconnectAddIns(0);  // host shutdown: the bar stays
  Connect restarted(shell_);
  app_.ConnectAddIn(restarted, 1);
  ASSERT_EQ(Bars(app_).size(), 1u);
  EXPECT_EQ(Bars(app_).front()->Controls().Count(), 6);
  EXPECT_EQ(Bars(app_).front()->Controls().Item(1)->Controls().Count(), 2);
  EXPECT_EQ(EnabledButtons(), kNewOnly);
  app_.DisconnectAddIns(1);  // the user removed the add-in
  EXPECT_TRUE(Bars(app_).empty());
  EXPECT_EQ(Failures() + restarted.defines().failures_shown(), 0);
}

// Another party that cancels every close, as a person pressing Cancel would.
class CancelClose final : public host::WorkbookEvents {
 public:
  void WorkbookActivate(host::Workbook*) override {}
  void WorkbookBeforeClose(host::Workbook&, bool& cancel) override { cancel = true; }
  void WorkbookBeforeSave(host::Workbook&, bool, bool&) override {}
};

TEST_F(ConnectTest, ButtonsFollowActivationAndEveryClose) {
  host::Workbook& first = Open("three_sheets.xlsx");
  app_.ConnectAddIn(connect_, 1);
  EXPECT_EQ(EnabledButtons(), kAll);  // set for the workbook already open
  host::Workbook& plain = Open("plain.xlsx");
  EXPECT_EQ(EnabledButtons(), kNewOnly);
  ASSERT_TRUE(app_.Close(plain));  // the definition workbook is active again
  EXPECT_EQ(EnabledButtons(), kAll);
  {
    CancelClose canceller;
    Subscription sub = app_.SubscribeWorkbookEvents(canceller);
    EXPECT_FALSE(app_.Close(first));  // cancelled, yet the buttons are off
    EXPECT_EQ(EnabledButtons(), kNewOnly);
  }
  ASSERT_TRUE(app_.Close(first));
  EXPECT_EQ(EnabledButtons(), kNewOnly);
  app_.DisconnectAddIns(0);
  Open("three_sheets.xlsx");  // no longer followed
  EXPECT_EQ(EnabledButtons(), kNewOnly);
  EXPECT_EQ(Failures(), 0);
}

}  // namespace
}  // namespace kastel::addin
