// The add-in's life in the real headless application: the bar it builds, reconnection,
// removal, and the buttons following the active workbook.
#include <gtest/gtest.h>

#include <string>

#include "addin_fixture.h"

namespace kastel::addin {
namespace {

using ConnectTest = AddInTest;

TEST_F(ConnectTest, ConnectionBuildsTheBarExactlyWithEveryButtonDisabledButTheNewOnes) {
  ConnectAddIn();
  auto bar = Bar();
  ASSERT_NE(bar, nullptr);
  EXPECT_TRUE(bar->Visible());
  const struct {
    std::vector<std::string> path;
    host::ControlType type;
    const char* tooltip;
    int face_id;
    int style;
    bool enabled;
  } controls[] = {
      {{"新規作成", "SQL Server"}, host::ControlType::kButton, "SQL Server", 18, 3, true},
      {{"新規作成", "Oracle"}, host::ControlType::kButton, "Oracle", 18, 3, true},
      {{"シート追加"}, host::ControlType::kButton, "シート追加", 530, 1, false},
      {{"テーブル一覧更新"}, host::ControlType::kButton, "テーブル一覧更新", 737, 1, false},
      {{"スクリプト出力"}, host::ControlType::kButton, "スクリプト出力", 528, 1, false},
      {{"リバースエンジニア"}, host::ControlType::kButton, "リバースエンジニア", 2035, 1, false},
      {{"テンプレート表示切替"}, host::ControlType::kButton, "テンプレート表示切替", 248, 1, false},
  };
  for (const auto& c : controls) {
    SCOPED_TRACE(c.path.back());
    auto control = xlsx::FindControl(*bar, c.path);
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(control->Type(), c.type);
    EXPECT_EQ(control->Caption(), c.path.back());
    EXPECT_EQ(control->ToolTipText(), c.tooltip);
    EXPECT_EQ(control->FaceId(), c.face_id);
    EXPECT_EQ(control->Style(), c.style);
    EXPECT_EQ(control->Enabled(), c.enabled);
    EXPECT_TRUE(control->Visible());
  }
  // In this order, and nothing else.
  host::CommandBarControls& top = bar->Controls();
  ASSERT_EQ(top.Count(), 6);
  EXPECT_EQ(top.Item(1)->Type(), host::ControlType::kPopup);
  EXPECT_EQ(top.Item(1)->ToolTipText(), "新規作成");
  const char* order[] = {"新規作成",       "シート追加",         "テーブル一覧更新",
                         "スクリプト出力", "リバースエンジニア", "テンプレート表示切替"};
  for (int i = 1; i <= 6; ++i) EXPECT_EQ(top.Item(i)->Caption(), order[i - 1]);
  ASSERT_EQ(top.Item(1)->Controls().Count(), 2);
  EXPECT_EQ(Failures(), 0);
  EXPECT_EQ(err_.str() + out_.str(), "");
}

TEST_F(ConnectTest, ReconnectionReusesTheBarWithoutDuplicates) {
  ConnectAddIn();
  app_.DisconnectAddIns(0);  // host shutdown: the bar stays
  ASSERT_EQ(BarCount(), 1);
  ConnectAddIn();
  // A fresh add-in object, as after a restart of the host, finds the same bar.
  Connect second(shell_);
  app_.ConnectAddIn(second, 1);
  EXPECT_EQ(BarCount(), 1);
  EXPECT_EQ(Bar()->Controls().Count(), 6);
  EXPECT_EQ(Bar()->Controls().Item(1)->Controls().Count(), 2);
  EXPECT_EQ(EnabledButtons(), kNewOnly);
  app_.DisconnectAddIns(0);
}

TEST_F(ConnectTest, RemovalDeletesTheBarAndShutdownKeepsIt) {
  const struct {
    int mode;
    int bars_left;
  } cases[] = {{0, 1}, {1, 0}};
  for (const auto& c : cases) {
    xlsx::XlsxApplication app(status_);
    Connect connect(shell_);
    app.ConnectAddIn(connect, 1);
    app.DisconnectAddIns(c.mode);
    int bars = 0;
    for (const auto& bar : app.AllBars()) bars += bar->Name() == "KASTEL" ? 1 : 0;
    EXPECT_EQ(bars, c.bars_left) << c.mode;
  }
  EXPECT_EQ(err_.str(), "");
}

TEST_F(ConnectTest, ButtonsFollowTheActiveWorkbook) {
  ConnectAddIn();
  const struct {
    const char* book;
    const char* enabled;
  } cases[] = {
      {"three_sheets.xlsx", kAll},
      {"plain.xlsx", kNewOnly},       // no "TEMPLATE"
      {"lower_mark.xlsx", kNewOnly},  // "db" is not "DB"
      {"lookup.xlsx", kAll},
  };
  for (const auto& c : cases) {
    Open(c.book);
    EXPECT_EQ(EnabledButtons(), c.enabled) << c.book;
  }
  EXPECT_EQ(Failures(), 0);
}

TEST_F(ConnectTest, ConnectingWithADefinitionWorkbookOpenEnablesEverything) {
  Open("three_sheets.xlsx");
  ConnectAddIn();
  EXPECT_EQ(EnabledButtons(), kAll);
}

TEST_F(ConnectTest, ClosingTheLastWorkbookLeavesOnlyTheNewButtons) {
  ConnectAddIn();
  host::Workbook& wb = Open("three_sheets.xlsx");
  ASSERT_EQ(EnabledButtons(), kAll);
  EXPECT_TRUE(app_.Close(wb));
  EXPECT_EQ(EnabledButtons(), kNewOnly);
}

// Another party that cancels every close, as a person pressing Cancel would.
class CancelClose final : public host::WorkbookEvents {
 public:
  void WorkbookActivate(host::Workbook*) override {}
  void WorkbookBeforeClose(host::Workbook&, bool& cancel) override { cancel = true; }
  void WorkbookBeforeSave(host::Workbook&, bool, bool&) override {}
};

TEST_F(ConnectTest, ACancelledCloseStillLeavesTheWorkbookButtonsDisabled) {
  ConnectAddIn();
  host::Workbook& wb = Open("three_sheets.xlsx");
  CancelClose canceller;
  Subscription sub = app_.SubscribeWorkbookEvents(canceller);
  EXPECT_FALSE(app_.Close(wb));
  EXPECT_EQ(EnabledButtons(), kNewOnly);
  EXPECT_EQ(app_.ActiveWorkbook(), &wb);
}

TEST_F(ConnectTest, DisconnectedAddInNoLongerFollowsWorkbooks) {
  ConnectAddIn();
  app_.DisconnectAddIns(0);
  Open("three_sheets.xlsx");
  EXPECT_EQ(EnabledButtons(), kNewOnly);
}

TEST_F(ConnectTest, ADeletedButtonIsReportedBySetEnabledUnderItsName) {
  ConnectAddIn();
  xlsx::FindControl(*Bar(), {"シート追加"})->Delete();
  Open("three_sheets.xlsx");
  // One report for the deleted button; the other buttons still follow.
  EXPECT_EQ(Failures(), 1);
  EXPECT_NE(err_.str(), "");
  EXPECT_EQ(EnabledButtons(),
            "SQL Server,Oracle,テーブル一覧更新,スクリプト出力,リバースエンジニア,"
            "テンプレート表示切替");
}

}  // namespace
}  // namespace kastel::addin
