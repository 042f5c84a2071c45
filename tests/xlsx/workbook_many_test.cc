// Workbooks of many sheets: cells read back after their sheets were dropped and parsed again,
// and renaming all of them (as renumbering a table list does) keeps every reference right.
// What reading them costs in time and memory is measured by bench/xlsx_bench.
#include <gtest/gtest.h>

#include "workbook_fixture.h"

namespace kastel::xlsx::testing {
namespace {

constexpr int kSheets = 60;
constexpr int kRows = 40;

const std::string& ManySheets() {
  static ScratchDir dir;
  static const std::string path = [] {
    const std::string out = dir / "many.xlsx";
    Python({KASTEL_WORKBOOK_FIXTURES "/wb_many.py", out, std::to_string(kSheets),
            std::to_string(kRows)});
    return out;
  }();
  return path;
}

TEST(ManySheets, CellsReadWhileOthersWereParsedReadBackWhatWasWrittenSince) {
  TestApp t;
  host::Workbook& wb = t.app.Open(ManySheets());
  // Each pass goes through every sheet, so none stays parsed from one pass to the next.
  for (int i = 1; i <= kSheets; ++i) ASSERT_EQ(wb.Worksheets(i).Cell(1, 1), Value::Number(i));
  for (int i = 1; i <= kSheets; ++i) wb.Worksheets(i).SetCell(1, 1, Value::Text("w"));
  for (int i = 1; i <= kSheets; ++i) ASSERT_EQ(wb.Worksheets(i).Cell(1, 1), Value::Text("w"));
  // Saved while most changed sheets wait let go, held deflated: written as they were held.
  ScratchDir dir;
  t.app.SaveAs(wb, dir / "w.xlsx");
  TestApp reopened;
  host::Workbook& saved = reopened.app.Open(dir / "w.xlsx");
  for (int i = 1; i <= kSheets; ++i) ASSERT_EQ(saved.Worksheets(i).Cell(1, 1), Value::Text("w"));
  for (int i = 1; i <= kSheets; ++i) wb.Worksheets(i).ClearContents("A1:B2");
  for (int i = 1; i <= kSheets; ++i) ASSERT_EQ(wb.Worksheets(i).Cell(1, 1), Value());
  wb.Worksheets(1).AddHyperlink("A1", "S2!R1C1", "link");
  EXPECT_EQ(wb.Worksheets(1).Cell(1, 1), Value::Text("link"));
}

// Sheets read ahead while a walk writes each sheet it reads come unscanned and are parsed from
// the bytes read ahead; a walk that then only reads has them scanned again.
TEST(ManySheets, AWalkWritingEachSheetItReadsThenOneOnlyReadingSeeEveryValue) {
  TestApp t;
  host::Workbook& wb = t.app.Open(ManySheets());
  const int half = kSheets / 2;
  for (int i = 1; i <= half; ++i) {
    host::Worksheet& ws = wb.Worksheets(i);
    ASSERT_EQ(ws.Cell(1, 1), Value::Number(i)) << i;
    ws.SetCell(1, 2, Value::Number(-i));
    ASSERT_EQ(ws.Cell(kRows, 3), Value::Number(kRows * 10 + 2)) << i;
  }
  for (int i = half + 1; i <= kSheets; ++i) {
    host::Worksheet& ws = wb.Worksheets(i);
    ASSERT_EQ(ws.Cell(1, 1), Value::Number(i)) << i;
    ASSERT_EQ(ws.Cell(kRows, 3), Value::Number(kRows * 10 + 2)) << i;
  }
  for (int i = 1; i <= half; ++i) ASSERT_EQ(wb.Worksheets(i).Cell(1, 2), Value::Number(-i)) << i;
}

TEST(ManySheets, RenamedAllAtOnceKeepEveryReferenceAndLinkRight) {
  ScratchDir dir;
  TestApp t;
  host::Workbook& wb = t.app.Open(ManySheets());
  host::Worksheet& list = wb.Worksheets(1);
  // Links to sheets under their old names, written before the renames.
  for (int i = 2; i <= kSheets; ++i) {
    list.AddHyperlink("L" + std::to_string(i), "S" + std::to_string(i) + "!R1C1", "old");
  }
  wb.WorkbookNames().AddR1C1("FirstOfS2", "=S2!R1C1");
  wb.WorkbookNames().AddR1C1("FirstOfS30", "=S30!R1C1");
  // Out of the way first, then numbered backwards, so that names move through each other.
  for (int i = 2; i <= kSheets; ++i) wb.Worksheets(i).SetName("XXX" + std::to_string(i));
  for (int i = 2; i <= kSheets; ++i)
    wb.Worksheets(i).SetName("S" + std::to_string(kSheets + 2 - i));
  // And links written afterwards, under the new names.
  for (int i = 2; i <= kSheets; ++i) {
    list.AddHyperlink("M" + std::to_string(i), "S" + std::to_string(i) + "!R1C1", "new");
  }
  EXPECT_EQ(wb.WorkbookNames().RefersTo("FirstOfS2"), "='S60'!$A$1");
  EXPECT_EQ(wb.WorkbookNames().RefersTo("FirstOfS30"), "='S32'!$A$1");
  // A name that must be quoted, then renamed in another case.
  wb.Worksheets(2).SetName("O'Brien");
  EXPECT_EQ(wb.WorkbookNames().RefersTo("FirstOfS2"), "='O''Brien'!$A$1");
  wb.Worksheets(2).SetName("o'brien 2");
  wb.Worksheets(2).SetName("S60");
  EXPECT_EQ(wb.WorkbookNames().RefersTo("FirstOfS2"), "='S60'!$A$1");
  t.app.SaveAs(wb, dir / "out.xlsx");

  auto package = Package::Open(dir / "out.xlsx");
  const std::string xml = package->Read("xl/worksheets/sheet1.xml");
  struct Case {
    const char* cell;
    const char* location;
  } cases[] = {{"L2", "'S60'!A1"},  // the sheet first called S2 is now S60
               {"L60", "'S2'!A1"},
               {"L30", "'S32'!A1"},
               {"M2", "'S2'!A1"},  // written after the renames: stays as written
               {"M60", "'S60'!A1"}};
  for (const auto& c : cases) {
    const std::string link =
        std::string("<hyperlink ref=\"") + c.cell + "\" location=\"" + c.location + "\"";
    EXPECT_NE(xml.find(link), std::string::npos) << link;
  }
}

}  // namespace
}  // namespace kastel::xlsx::testing
