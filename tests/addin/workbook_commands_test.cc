// The buttons that work on workbooks, pressed in the real headless application.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "addin/template_path.h"
#include "addin_fixture.h"
#include "model/defines.h"

namespace kastel::addin {
namespace {

using WorkbookCommandsTest = AddInTest;

TEST_F(WorkbookCommandsTest, TemplateIsLookedUpInTheUsersFolderThenAmongTheProgramsFiles) {
  const std::string profile = scratch_ / "profile";
  const std::string personal = profile + "/Application Data/Microsoft/Templates/" + kTemplateFile;
  const std::string xdg = scratch_ / "data/kastel/templates/テーブル定義書.xltx";
  const std::string program = shell_.ProgramDataFolder() + "/" + kTemplateFile;
  std::filesystem::create_directories(std::filesystem::path(personal).parent_path());
  std::filesystem::create_directories(std::filesystem::path(xdg).parent_path());
  const struct {
    const char* chosen;  // KASTEL_TEMPLATE
    bool profile_set, personal_exists, xdg_exists;
    std::string expected;
  } cases[] = {{"/x/mine.xltx", true, true, true, "/x/mine.xltx"},
               {"", true, true, true, personal},
               {"", true, false, true, program},
               {"", false, false, true, xdg},
               {"", false, false, false, program}};
  for (const auto& c : cases) {
    shell_.SetEnv("KASTEL_TEMPLATE", c.chosen);
    shell_.SetEnv("USERPROFILE", c.profile_set ? profile : "");
    shell_.SetEnv("XDG_DATA_HOME", scratch_ / "data");
    std::filesystem::remove(personal);
    std::filesystem::remove(xdg);
    if (c.personal_exists) std::filesystem::copy_file(KASTEL_TEST_TEMPLATE, personal);
    if (c.xdg_exists) std::filesystem::copy_file(KASTEL_TEST_TEMPLATE, xdg);
    EXPECT_EQ(TemplatePath(shell_), c.expected);
  }
  // The last case's template is the built one, which makes a workbook.
  app_.ConnectAddIn(connect_, 1);
  ASSERT_TRUE(Press({"新規作成", "SQL Server"}));
  ASSERT_NE(app_.ActiveWorkbook(), nullptr);
  EXPECT_EQ(model::Defines::GetDocProperty(*app_.ActiveWorkbook(), "DB"), "SQL");
  EXPECT_EQ(Failures(), 0);
}

TEST_F(WorkbookCommandsTest, AddSheetKeepsAShownTemplateShownAndScreenUpdatingOn) {
  app_.ConnectAddIn(connect_, 1);
  host::Workbook& wb = Open("three_sheets.xlsx");
  ASSERT_TRUE(Press({"テンプレート表示切替"}));
  const int count = wb.WorksheetCount();
  ASSERT_TRUE(Press({"シート追加"}));
  ASSERT_EQ(wb.WorksheetCount(), count + 1);
  EXPECT_EQ(&wb.ActiveSheet(), &wb.Worksheets(count));
  EXPECT_NE(wb.Worksheets(count).Visible(), host::Visibility::kHidden);
  EXPECT_NE(wb.Worksheets(count + 1).Visible(), host::Visibility::kHidden);
  EXPECT_TRUE(app_.ScreenUpdating());
  // Without a template sheet the failure is reported and screen updating still comes back.
  Open("no_template.xlsx");
  ASSERT_TRUE(Press({"シート追加"}));
  EXPECT_EQ(
      err_.str(),
      "インデックスが有効範囲にありません。\nkastel: 場所: no_template.xlsx シート「template」\n");
  EXPECT_TRUE(app_.ScreenUpdating());
}

TEST_F(WorkbookCommandsTest, BeforeSaveRefreshesTheDataTypeListOfTheActiveWorkbook) {
  app_.ConnectAddIn(connect_, 1);
  host::Workbook& wb = Open("three_sheets.xlsx");
  model::Defines::SetDocProperty(wb, "DB", "PGS");
  EXPECT_TRUE(app_.RaiseBeforeSave(wb));
  EXPECT_EQ(wb.WorkbookNames().RefersTo("DATA_TYPE"), "='@LIST'!$D$2:$D$32");
  EXPECT_EQ(Failures(), 0);
}

}  // namespace
}  // namespace kastel::addin
