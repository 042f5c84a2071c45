// Workbooks of many sheets: reading them in turn keeps only a few parsed, and renaming all of
// them (as renumbering a table list does) keeps every reference right.
#include <gtest/gtest.h>

#include <unistd.h>

#include <fstream>

#include "workbook_fixture.h"

namespace kastel::xlsx::testing {
namespace {

constexpr int kSheets = 300;
constexpr int kRows = 200;

const std::string& ManySheets() {
  static ScratchDir dir;
  static const std::string path = [] {
    const std::string out = dir / "many.xlsx";
    const std::string command = std::string(kPython) + " " + KASTEL_WORKBOOK_FIXTURES +
                                "/wb_many.py '" + out + "' " + std::to_string(kSheets) + " " +
                                std::to_string(kRows);
    EXPECT_EQ(RunCommand(command), 0);
    return out;
  }();
  return path;
}

long ResidentBytes() {
  std::ifstream statm("/proc/self/statm");
  long size = 0, resident = 0;
  statm >> size >> resident;
  return resident * sysconf(_SC_PAGESIZE);
}

TEST(ManySheets, ReadInTurnNeedTheMemoryOfAFewSheets) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the address sanitizer keeps freed memory in quarantine";
#endif
  TestApp t;
  host::Workbook& wb = t.app.Open(ManySheets());
  ASSERT_EQ(wb.WorksheetCount(), kSheets);
  auto read = [&](int from, int to) {
    for (int i = from; i <= to; ++i) {
      host::Worksheet& sheet = wb.Worksheets(i);
      ASSERT_EQ(sheet.Cell(1, 1), Value::Number(i));
      ASSERT_EQ(sheet.Cell(kRows, 10), Value::Number(kRows * 10 + 9));
    }
  };
  read(1, 20);
  const long warm = ResidentBytes();
  read(21, kSheets);
  const long grown = ResidentBytes() - warm;
  // Every sheet kept parsed would hold about 2,000 cells' worth of DOM and index each, some
  // hundreds of kilobytes: all of them together far above this bound.
  EXPECT_LT(grown, 24L << 20) << "grew by " << grown << " bytes";
}

TEST(ManySheets, CellsReadWhileOthersWereParsedReadBackWhatWasWrittenSince) {
  TestApp t;
  host::Workbook& wb = t.app.Open(ManySheets());
  // Each pass goes through every sheet, so none stays parsed from one pass to the next.
  for (int i = 1; i <= kSheets; ++i) ASSERT_EQ(wb.Worksheets(i).Cell(1, 1), Value::Number(i));
  for (int i = 1; i <= kSheets; ++i) wb.Worksheets(i).SetCell(1, 1, Value::Text("w"));
  for (int i = 1; i <= kSheets; ++i) ASSERT_EQ(wb.Worksheets(i).Cell(1, 1), Value::Text("w"));
  for (int i = 1; i <= kSheets; ++i) wb.Worksheets(i).ClearContents("A1:B2");
  for (int i = 1; i <= kSheets; ++i) ASSERT_EQ(wb.Worksheets(i).Cell(1, 1), Value());
  wb.Worksheets(1).AddHyperlink("A1", "S2!R1C1", "link");
  EXPECT_EQ(wb.Worksheets(1).Cell(1, 1), Value::Text("link"));
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
  wb.WorkbookNames().AddR1C1("FirstOfS150", "=S150!R1C1");
  // Out of the way first, then numbered backwards, so that names move through each other.
  for (int i = 2; i <= kSheets; ++i) wb.Worksheets(i).SetName("XXX" + std::to_string(i));
  for (int i = 2; i <= kSheets; ++i)
    wb.Worksheets(i).SetName("S" + std::to_string(kSheets + 2 - i));
  // And links written afterwards, under the new names.
  for (int i = 2; i <= kSheets; ++i) {
    list.AddHyperlink("M" + std::to_string(i), "S" + std::to_string(i) + "!R1C1", "new");
  }
  EXPECT_EQ(wb.WorkbookNames().RefersTo("FirstOfS2"), "='S300'!$A$1");
  EXPECT_EQ(wb.WorkbookNames().RefersTo("FirstOfS150"), "='S152'!$A$1");
  // A name that must be quoted, then renamed in another case.
  wb.Worksheets(2).SetName("O'Brien");
  EXPECT_EQ(wb.WorkbookNames().RefersTo("FirstOfS2"), "='O''Brien'!$A$1");
  wb.Worksheets(2).SetName("o'brien 2");
  wb.Worksheets(2).SetName("S300");
  EXPECT_EQ(wb.WorkbookNames().RefersTo("FirstOfS2"), "='S300'!$A$1");
  t.app.SaveAs(wb, dir / "out.xlsx");

  auto package = Package::Open(dir / "out.xlsx");
  const std::string xml = package->Read("xl/worksheets/sheet1.xml");
  struct Case {
    const char* cell;
    const char* location;
  } cases[] = {
      {"L2", "'S300'!A1"},  // the sheet first called S2 is now S300
      {"L300", "'S2'!A1"},   {"L150", "'S152'!A1"},
      {"M2", "'S2'!A1"},  // written after the renames: stays as written
      {"M300", "'S300'!A1"},
  };
  for (const auto& c : cases) {
    const std::string link =
        std::string("<hyperlink ref=\"") + c.cell + "\" location=\"" + c.location + "\"";
    EXPECT_NE(xml.find(link), std::string::npos) << link;
  }
}

}  // namespace
}  // namespace kastel::xlsx::testing
