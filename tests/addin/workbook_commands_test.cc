// The buttons that work on workbooks, pressed in the real headless application.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "addin/template_path.h"
#include "addin_fixture.h"
#include "model/defines.h"

namespace kastel::addin {
namespace {

using model::Defines;
using WorkbookCommandsTest = AddInTest;

TEST_F(WorkbookCommandsTest, NewWorkbookButtonsMakeAWorkbookOfTheirDialect) {
  ConnectAddIn();
  const struct {
    const char* button;
    const char* dialect;
    const char* data_type;
  } cases[] = {
      {"SQL Server", "SQL", "='@LIST'!$B$2:$B$28"},
      {"Oracle", "ORA", "='@LIST'!$C$2:$C$21"},
  };
  for (const auto& c : cases) {
    ASSERT_TRUE(Press({"新規作成", c.button}));
    host::Workbook* wb = app_.ActiveWorkbook();
    ASSERT_NE(wb, nullptr);
    EXPECT_EQ(Defines::GetDocProperty(*wb, "DB"), c.dialect);
    EXPECT_EQ(Defines::GetDocProperty(*wb, "TEMPLATE"), "DB");
    EXPECT_EQ(wb->WorkbookNames().RefersTo("DATA_TYPE"), c.data_type);
    EXPECT_EQ(EnabledButtons(), kAll);
  }
  EXPECT_EQ(Failures(), 0);
}

TEST_F(WorkbookCommandsTest, AMissingTemplateShowsOneMessageAndAddsNoWorkbook) {
  ConnectAddIn();
  shell_.SetEnv("KASTEL_TEMPLATE", scratch_ / "none.xltx");
  EXPECT_TRUE(Press({"新規作成", "Oracle"}));
  EXPECT_EQ(app_.ActiveWorkbook(), nullptr);
  EXPECT_EQ(Failures(), 1);
  EXPECT_NE(err_.str(), "");
  EXPECT_EQ(err_.str().find('\n'), err_.str().size() - 1) << err_.str();
}

TEST_F(WorkbookCommandsTest, TemplateIsLookedUpInTheUsersFolderThenAmongTheProgramsFiles) {
  const std::string profile = scratch_ / "profile";
  const std::string personal = profile + "/Application Data/Microsoft/Templates/" + kTemplateFile;
  const std::string xdg_personal = scratch_ / "data/kastel/templates/テーブル定義書.xltx";
  const std::string program = shell_.ProgramDataFolder() + "/" + kTemplateFile;
  std::filesystem::create_directories(std::filesystem::path(personal).parent_path());
  std::filesystem::create_directories(std::filesystem::path(xdg_personal).parent_path());
  const struct {
    const char* chosen;  // KASTEL_TEMPLATE
    bool profile_set;    // USERPROFILE
    bool personal_exists;
    bool xdg_exists;
    std::string expected;
  } cases[] = {
      {"/x/mine.xltx", true, true, true, "/x/mine.xltx"},
      {"", true, true, true, personal},
      {"", true, false, true, program},  // the profile's folder is the only personal one
      {"", false, false, true, xdg_personal},
      {"", false, false, false, program},
  };
  for (const auto& c : cases) {
    term::TermShell shell(out_, err_, in_, false);
    shell.SetEnv("KASTEL_TEMPLATE", c.chosen);
    shell.SetEnv("USERPROFILE", c.profile_set ? profile : "");
    shell.SetEnv("XDG_DATA_HOME", scratch_ / "data");
    std::filesystem::remove(personal);
    std::filesystem::remove(xdg_personal);
    if (c.personal_exists) std::filesystem::copy_file(KASTEL_TEST_TEMPLATE, personal);
    if (c.xdg_exists) std::filesystem::copy_file(KASTEL_TEST_TEMPLATE, xdg_personal);
    EXPECT_EQ(TemplatePath(shell), c.expected);
  }
}

TEST_F(WorkbookCommandsTest, NewWorkbookWithoutAChosenTemplateUsesTheBuiltOne) {
  shell_.SetEnv("KASTEL_TEMPLATE", "");
  shell_.SetEnv("USERPROFILE", scratch_ / "nobody");
  ConnectAddIn();
  ASSERT_TRUE(Press({"新規作成", "SQL Server"}));
  ASSERT_NE(app_.ActiveWorkbook(), nullptr);
  EXPECT_EQ(Defines::GetDocProperty(*app_.ActiveWorkbook(), "DB"), "SQL");
  EXPECT_EQ(Failures(), 0);
}

TEST_F(WorkbookCommandsTest, AddSheetPutsAVisibleActiveCopyBeforeTheTemplateAndKeepsItsState) {
  ConnectAddIn();
  for (bool show_template_first : {false, true}) {
    SCOPED_TRACE(show_template_first);
    host::Workbook& wb = Open("three_sheets.xlsx");
    if (show_template_first) {
      ASSERT_TRUE(Press({"テンプレート表示切替"}));
    }
    const int count = wb.WorksheetCount();
    ASSERT_TRUE(Press({"シート追加"}));
    ASSERT_EQ(wb.WorksheetCount(), count + 1);
    host::Worksheet& copy = wb.Worksheets(count);
    EXPECT_EQ(copy.Name(), "template (2)");
    EXPECT_NE(copy.Visible(), host::Visibility::kHidden);
    EXPECT_EQ(&wb.ActiveSheet(), &copy);
    host::Worksheet& templ = wb.Worksheets(count + 1);
    EXPECT_EQ(templ.Name(), "template");
    EXPECT_EQ(templ.Visible() != host::Visibility::kHidden, show_template_first);
    EXPECT_TRUE(app_.ScreenUpdating());
    app_.Close(wb);
  }
  EXPECT_EQ(Failures(), 0);
}

TEST_F(WorkbookCommandsTest, AddSheetFailureIsReportedAndScreenUpdatingComesBack) {
  ConnectAddIn();
  Open("no_template.xlsx");
  ASSERT_TRUE(Press({"シート追加"}));
  EXPECT_EQ(err_.str(), "インデックスが有効範囲にありません。\n");
  EXPECT_EQ(Failures(), 1);
  EXPECT_TRUE(app_.ScreenUpdating());
}

TEST_F(WorkbookCommandsTest, RefreshAndTemplateReportTheirOwnFailuresOnce) {
  ConnectAddIn();
  const struct {
    const char* book;
    const char* button;
    const char* message;
  } cases[] = {
      {"bad_layout.xlsx", "テーブル一覧更新",
       "パラメタ'INDEX_NAME'が未設定です。\n設定を確認して下さい。\n"},
      {"no_template.xlsx", "テンプレート表示切替", "インデックスが有効範囲にありません。\n"},
  };
  int failures = 0;
  for (const auto& c : cases) {
    err_.str("");
    host::Workbook& wb = Open(c.book);
    ASSERT_TRUE(Press({c.button}));
    EXPECT_EQ(err_.str(), c.message);
    EXPECT_EQ(Failures(), ++failures);
    app_.Close(wb);
  }
}

TEST_F(WorkbookCommandsTest, RefreshButtonRenumbersTheActiveWorkbook) {
  ConnectAddIn();
  host::Workbook& wb = Open("three_sheets.xlsx");
  ASSERT_TRUE(Press({"テーブル一覧更新"}));
  EXPECT_EQ(wb.Worksheets(2).Name(), "1");
  EXPECT_EQ(wb.Worksheets(5).Name(), "2");
  EXPECT_EQ(wb.Worksheets(6).Name(), "3");
  EXPECT_EQ(wb.Worksheets("テーブル一覧").Cell(7, 3), Value::Text("？"));
  EXPECT_EQ(Failures(), 0);
}

TEST_F(WorkbookCommandsTest, TemplateButtonTwiceLeavesTheTemplateAsItWas) {
  ConnectAddIn();
  host::Workbook& wb = Open("three_sheets.xlsx");
  ASSERT_TRUE(Press({"テンプレート表示切替"}));
  EXPECT_NE(wb.Worksheets("template").Visible(), host::Visibility::kHidden);
  ASSERT_TRUE(Press({"テンプレート表示切替"}));
  EXPECT_EQ(wb.Worksheets("template").Visible(), host::Visibility::kHidden);
}

TEST_F(WorkbookCommandsTest, BeforeSaveRefreshesTheDataTypeListOfTheActiveWorkbook) {
  ConnectAddIn();
  host::Workbook& wb = Open("three_sheets.xlsx");
  Defines::SetDocProperty(wb, "DB", "PGS");
  EXPECT_TRUE(app_.RaiseBeforeSave(wb));
  EXPECT_EQ(wb.WorkbookNames().RefersTo("DATA_TYPE"), "='@LIST'!$D$2:$D$32");
  EXPECT_EQ(Failures(), 0);
  // A definition workbook without the name: reported, and the save is not cancelled.
  host::Workbook& broken = Open("no_data_type.xlsx");
  EXPECT_TRUE(app_.RaiseBeforeSave(broken));
  EXPECT_EQ(err_.str(), "インデックスが有効範囲にありません。\n");
  EXPECT_EQ(Failures(), 1);
}

}  // namespace
}  // namespace kastel::addin
