// Opening workbooks written by other programs, looking sheets up, reading and writing cells,
// saving; the application's events and status line.
#include <gtest/gtest.h>

#include <filesystem>

#include "base/error.h"
#include "workbook_fixture.h"

namespace kastel::xlsx::testing {
namespace {

TEST(Open, ABadFileOrAMissingTemplateFailsNamingTheFileAndKeepsTheActiveWorkbook) {
  ScratchDir dir;
  WriteFile(dir / "not.xlsx", "plain text, not a zip");
  struct Case {
    std::string file;
    bool as_template;
  } cases[] = {{"not.xlsx", false}, {"テーブル定義書.xltx", true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    TestApp t;
    host::Workbook& wb = t.app.Open(Fixture("plain.xlsx"));
    try {
      c.as_template ? t.app.AddWorkbook(dir / c.file) : t.app.Open(dir / c.file);
      ADD_FAILURE() << "opened";
    } catch (const Error& e) {
      EXPECT_EQ(e.number(), kFileFormatError);
      EXPECT_NE(e.description().find(c.file), std::string::npos) << e.description();
    }
    EXPECT_EQ(t.app.ActiveWorkbook(), &wb);
  }
}

TEST(SaveAs, WithoutAPathWritesBackToTheFileItWasOpenedFrom) {
  ScratchDir dir;
  const std::string path = CopyFixture("plain.xlsx", dir);
  TestApp t;
  host::Workbook& wb = t.app.Open(path);
  wb.Worksheets(1).SetCell(2, 1, Value::Text("追記"));
  t.app.SaveAs(wb, "");
  EXPECT_EQ(DumpBook(path).at("cell:Sheet1!A2"), "str:追記");
}

class Recorder : public host::WorkbookEvents {
 public:
  void WorkbookActivate(host::Workbook* wb) override {
    log += "activate:" + (wb ? wb->Name() : std::string("none")) + ";";
  }
  void WorkbookBeforeClose(host::Workbook& wb, bool& cancel) override {
    log += "close:" + wb.Name() + ";";
    cancel = cancel_close;
  }
  void WorkbookBeforeSave(host::Workbook& wb, bool save_as_ui, bool& cancel) override {
    log += "save:" + wb.Name() + (save_as_ui ? ":ui;" : ";");
    cancel = cancel_save;
  }
  std::string log;
  bool cancel_close = false;
  bool cancel_save = false;
};

TEST(Events, ComeInTheHostsOrderAndMayCancelClosingAndSaving) {
  TestApp t;
  Recorder a;
  Subscription sa = t.app.SubscribeWorkbookEvents(a);
  t.app.Open(Fixture("plain.xlsx"));
  host::Workbook& book = t.app.Open(Fixture("book.xlsx"));
  EXPECT_TRUE(t.app.RaiseBeforeSave(book));
  a.cancel_close = true;
  EXPECT_FALSE(t.app.Close(book));
  EXPECT_EQ(t.app.ActiveWorkbook(), &book);
  a.cancel_close = false;
  EXPECT_TRUE(t.app.Close(book));
  EXPECT_EQ(t.app.ActiveWorkbook()->Name(), "plain.xlsx");
  EXPECT_TRUE(t.app.Close(*t.app.ActiveWorkbook()));
  EXPECT_EQ(t.app.ActiveWorkbook(), nullptr);
  EXPECT_EQ(a.log,
            "activate:plain.xlsx;activate:book.xlsx;save:book.xlsx;close:book.xlsx;"
            "close:book.xlsx;activate:plain.xlsx;close:plain.xlsx;activate:none;");
  a.cancel_save = true;
  EXPECT_FALSE(t.app.RaiseBeforeSave(t.app.Open(Fixture("plain.xlsx"))));
}

TEST(StatusBar, WritesOneLinePerChangeOfText) {
  TestApp t;
  t.app.SetStatusBar("'A'を処理中です。");
  t.app.SetStatusBar("'A'を処理中です。");
  t.app.SetStatusBar("'B'を処理中です。");
  t.app.ResetStatusBar();
  t.app.SetStatusBar("'B'を処理中です。");
  EXPECT_EQ(t.status.str(), "'A'を処理中です。\n'B'を処理中です。\n'B'を処理中です。\n");
  EXPECT_TRUE(t.app.ScreenUpdating());
  t.app.SetScreenUpdating(false);
  EXPECT_FALSE(t.app.ScreenUpdating());
}

}  // namespace
}  // namespace kastel::xlsx::testing
