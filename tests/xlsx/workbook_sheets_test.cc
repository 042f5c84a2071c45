// Sheet operations of a workbook: renaming and the references that follow, copying, visibility,
// activation and print areas, each checked in the file that openpyxl reads back.
#include <gtest/gtest.h>

#include <regex>
#include <set>

#include "base/error.h"
#include "workbook_fixture.h"
#include "xlsx/worksheet_name.h"

namespace kastel::xlsx::testing {
namespace {

constexpr long kHost = 1004;

TEST(CopyName, AppendsTheSmallestFreeNumberAndCutsToThirtyOneCharacters) {
  struct Case {
    std::string original;
    std::set<std::string> taken;  // folded the way the workbook folds
    std::string expected;
  } cases[] = {{"template", {}, "template (2)"},
               {"template", {"TEMPLATE (2)"}, "template (3)"},
               {"template", {"TEMPLATE (2)", "TEMPLATE (3)", "TEMPLATE (5)"}, "template (4)"},
               {std::string(31, 'a'), {}, std::string(27, 'a') + " (2)"},
               {std::string(28, 'a'), {}, std::string(27, 'a') + " (2)"},
               {std::string(27, 'a'), {}, std::string(27, 'a') + " (2)"},
               {"あいうえおかきくけこさしすせそたちつてとなにぬねのはひふへほ",
                {},
                "あいうえおかきくけこさしすせそたちつてとなにぬねのはひ (2)"},
               // A character outside the BMP counts two and is never split.
               {std::string(26, 'a') + "😀b", {}, std::string(26, 'a') + " (2)"},
               {std::string(25, 'a') + "😀b", {}, std::string(25, 'a') + "😀 (2)"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.original);
    const std::string name = CopyName(c.original, [&](std::string_view n) {
      std::string up(n);
      for (char& ch : up) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
      return c.taken.count(up) > 0;
    });
    EXPECT_EQ(name, c.expected);
    EXPECT_LE(Utf16Length(name), 31u);
  }
}

TEST(Rename, CarriesEveryReferenceToTheSheetAlong) {
  ScratchDir dir;
  TestApp t;
  host::Workbook& wb = t.app.Open(Fixture("calc.xlsx"));
  wb.Worksheets("一覧").AddHyperlink("C5", "template!R1C1", "定義へ");
  wb.Worksheets("template").SetName("定義");
  wb.Worksheets("@LIST").SetName("型 一覧");
  EXPECT_EQ(wb.WorkbookNames().RefersTo("DATA_TYPE"), "='型 一覧'!$B$2:$B$4");
  EXPECT_EQ(wb.Worksheets("定義").PrintArea(), "$B$3:$V$37");
  t.app.SaveAs(wb, dir / "out.xlsx");

  const Facts facts = DumpBook(dir / "out.xlsx");
  const Facts expected = {{"cell:一覧!E5", "str:='定義'!B3"},
                          {"cell:参照!A1", "str:='型 一覧'!B2"},
                          {"cell:参照!A2", "str:=SUM('定義'!B8:B9)"},
                          {"cell:参照!A3", "str:=\"template!B3\""},  // a text literal stays
                          {"dv:参照", "B1:B5='型 一覧'!$C$2:$C$3"},
                          {"link:一覧!C5", "'定義'!A1|定義へ"},
                          {"name:DATA_TYPE", "'型 一覧'!$B$2:$B$4"},
                          {"name:KEEP", "'一覧'!$B$5"},
                          {"printarea:定義", "$B$3:$V$37"},
                          {"apptitles", "ワークシート,一覧,型 一覧,参照,定義"}};
  for (const auto& [key, value] : expected) {
    EXPECT_EQ(facts.count(key) ? facts.at(key) : "(none)", value) << key;
  }
}

TEST(Rename, ReachesTheSeriesOfChartsOnOtherSheets) {
  ScratchDir dir;
  TestApp t;
  host::Workbook& wb = t.app.Open(Fixture("chart.xlsx"));
  wb.Worksheets("データ").SetName("値");
  t.app.SaveAs(wb, dir / "out.xlsx");
  auto package = Package::Open(dir / "out.xlsx");
  int charts = 0;
  for (const auto& part : package->PartNames()) {
    if (!part.starts_with("xl/charts/")) continue;
    ++charts;
    const std::string xml = package->Read(part);
    EXPECT_NE(xml.find("'値'!$A$1:$A$3</"), std::string::npos) << xml;
    EXPECT_EQ(xml.find("データ"), std::string::npos) << xml;
  }
  EXPECT_EQ(charts, 1);
}

TEST(Copy, SavesEachCopyWithItsOwnPartsAndNames) {
  ScratchDir dir;
  TestApp t;
  host::Workbook& wb = t.app.Open(Fixture("calc.xlsx"));
  host::Worksheet& tpl = wb.Worksheets("template");
  tpl.SetCell(10, 2, Value::Text("書きかけ"));
  tpl.Copy(tpl);
  tpl.Copy(tpl);
  wb.Worksheets("@LIST").Copy(wb.Worksheets("一覧"));
  host::Worksheet& copy = wb.Worksheets("template (2)");
  copy.SetCell(3, 2, Value::Text("別物"));
  copy.SetPrintArea("$B$3:$V$50");
  t.app.SaveAs(wb, dir / "out.xlsx");

  const Facts facts = DumpBook(dir / "out.xlsx");
  const Facts expected = {
      {"sheet:1", "@LIST (2)|hidden"},
      {"sheet:5", "template (2)|visible"},
      {"sheet:7", "template|visible"},
      {"cell:template (2)!B3", "str:別物"},
      {"cell:template (3)!B3", "str:テーブル定義書"},
      {"cell:template!B3", "str:テーブル定義書"},
      {"cell:@LIST (2)!B2", "str:bigint"},
      {"comment:template (2)!C4", "物理名を入力"},
      {"comment:template (3)!C4", "物理名を入力"},
      {"comment:template!C4", "物理名を入力"},
      {"printarea:template (2)", "$B$3:$V$50"},
      {"printarea:template (3)", "$B$3:$V$37"},
      {"printarea:template", "$B$3:$V$37"},
      {"activeTab", "一覧"},
      {"apptitles", "ワークシート,@LIST (2),一覧,@LIST,参照,template (2),template (3),template"},
      {"name:DATA_TYPE", "'@LIST'!$B$2:$B$4"}};
  for (const auto& [key, value] : expected) {
    EXPECT_EQ(facts.count(key) ? facts.at(key) : "(none)", value) << key;
  }
  // A copied sheet makes the calculation chain stale; every copy has its own comment parts.
  EXPECT_EQ(WithPrefix(facts, "part:xl/calcChain").size(), 0u);
  EXPECT_EQ(WithPrefix(facts, "ctype:/xl/calcChain").size(), 0u);
  EXPECT_EQ(WithPrefix(facts, "ctype:/xl/comments/").size(), 3u);
  EXPECT_EQ(WithPrefix(facts, "part:xl/drawings/commentsDrawing").size(), 3u);
  EXPECT_EQ(WithPrefix(facts, "selected:").size(), 0u);  // no copy comes out selected
}

TEST(Copy, GivesEachVmlPartItsOwnShapeBlock) {
  TestApp t;
  ScratchDir dir;
  host::Workbook& wb = t.app.Open(Fixture("table.xlsx"));
  wb.Worksheets(1).Copy(wb.Worksheets(1));
  t.app.SaveAs(wb, dir / "out.xlsx");
  auto package = Package::Open(dir / "out.xlsx");
  std::vector<std::string> blocks;
  for (const auto& part : package->PartNames()) {
    if (!part.ends_with(".vml")) continue;
    const std::string vml = package->Read(part);
    const auto at = vml.find("data=\"");
    ASSERT_NE(at, std::string::npos) << part;
    blocks.push_back(vml.substr(at + 6, vml.find('"', at + 6) - at - 6));
    // Shape ids n*1024 ... n*1024+1023 belong to block n.
    const std::regex shape_id("_x0000_s([0-9]+)");
    int shapes = 0;
    for (std::sregex_iterator m(vml.begin(), vml.end(), shape_id), end; m != end; ++m, ++shapes) {
      EXPECT_EQ(std::stoi((*m)[1]) / 1024, std::stoi(blocks.back())) << part;
    }
    EXPECT_EQ(shapes, 1) << part;
  }
  ASSERT_EQ(blocks.size(), 2u);
  EXPECT_NE(blocks[0], blocks[1]);
  const Facts facts = DumpBook(dir / "out.xlsx");
  EXPECT_EQ(facts.at("table:表!Items"), "A1:B3");
  EXPECT_EQ(facts.at("table:表 (2)!Items_2"), "A1:B3");
  EXPECT_EQ(facts.at("comment:表 (2)!D1"), "memo");
}

TEST(Copy, GivesTheCopyItsOwnDrawingThatSharesThePicture) {
  ScratchDir dir;
  TestApp t;
  host::Workbook& wb = t.app.Open(Fixture("book.xlsx"));
  wb.Worksheets("一覧").Copy(wb.Worksheets("@LIST"));
  t.app.SaveAs(wb, dir / "out.xlsx");
  const Facts facts = DumpBook(dir / "out.xlsx");
  EXPECT_EQ(facts.at("sheet:2"), "一覧 (2)|visible");
  EXPECT_EQ(facts.at("images:一覧"), "1");
  EXPECT_EQ(facts.at("images:一覧 (2)"), "1");
  EXPECT_EQ(facts.at("merged:一覧 (2)"), "A1:C1");
  EXPECT_EQ(facts.at("dv:一覧 (2)"), "E8:E20=DATA_TYPE");
  EXPECT_EQ(WithPrefix(facts, "ctype:/xl/drawings/drawing").size(), 2u);
  EXPECT_EQ(WithPrefix(facts, "part:xl/media/").size(), 1u);
}

TEST(Copy, RefusesSheetsWithThreadedCommentsAndSheetsOfOtherWorkbooks) {
  TestApp t;
  host::Workbook& threaded = t.app.Open(Fixture("threaded.xlsx"));
  host::Worksheet& sheet = threaded.Worksheets(1);
  ExpectError([&] { sheet.Copy(sheet); }, kHost,
              "シート'Sheet1'にはスレッド形式のコメントがあるため、コピーできません。");
  EXPECT_EQ(threaded.WorksheetCount(), 1);
  host::Workbook& plain = t.app.Open(Fixture("plain.xlsx"));
  ExpectError([&] { plain.Worksheets(1).Copy(sheet); }, kHost,
              "シートは同じブックの中にしかコピーできません。");
}

// The active tab follows the sheets hidden; the print area goes in qualified with the quoted
// sheet name.
TEST(SheetState, IsSavedWithTheActiveTabOnAShownSheetAndThePrintArea) {
  ScratchDir dir;
  TestApp t;
  host::Workbook& wb = t.app.Open(Fixture("book.xlsx"));
  wb.Worksheets("参照").SetVisible(true);
  wb.Worksheets("一覧").SetPrintArea("$A$1:$K$35");
  wb.Worksheets("一覧").SetVisible(false);
  wb.Worksheets("template").SetVisible(false);
  t.app.SaveAs(wb, dir / "out.xlsx");
  const Facts facts = DumpBook(dir / "out.xlsx");
  EXPECT_EQ(facts.at("sheet:1"), "一覧|hidden");
  EXPECT_EQ(facts.at("sheet:3"), "参照|visible");
  EXPECT_EQ(facts.at("sheet:4"), "template|hidden");
  EXPECT_EQ(facts.at("activeTab"), "参照");
  EXPECT_EQ(WithPrefix(facts, "selected:"), (Facts{{"selected:参照", "1"}}));
  EXPECT_EQ(facts.at("printarea:一覧"), "$A$1:$K$35");
  // The tab bar starts at a shown sheet.
  const std::string xml = Package::Open(dir / "out.xlsx")->Read("xl/workbook.xml");
  EXPECT_NE(xml.find("firstSheet=\"2\" activeTab=\"2\""), std::string::npos) << xml;
  EXPECT_NE(xml.find("<definedName name=\"_xlnm.Print_Area\" localSheetId=\"0\">'一覧'!$A$1:$K$35"
                     "</definedName>"),
            std::string::npos)
      << xml;
}

TEST(CalcChain, StaysWhenOnlyValuesChangeAndGoesWhenAFormulaIsOverwritten) {
  struct Case {
    const char* cell_sheet;
    int row, column;
    bool chain_kept;
  } cases[] = {{"一覧", 20, 2, true}, {"参照", 2, 1, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.cell_sheet);
    ScratchDir dir;
    TestApp t;
    host::Workbook& wb = t.app.Open(Fixture("calc.xlsx"));
    wb.Worksheets(c.cell_sheet).SetCell(c.row, c.column, Value::Number(5));
    t.app.SaveAs(wb, dir / "out.xlsx");
    auto package = Package::Open(dir / "out.xlsx");
    EXPECT_EQ(package->Has("xl/calcChain.xml"), c.chain_kept);
    EXPECT_EQ(DumpBook(dir / "out.xlsx").count("ctype:/xl/calcChain.xml"), c.chain_kept ? 1u : 0u);
    bool related = false;
    for (const auto& rel : package->Relationships("xl/workbook.xml")) {
      related = related || rel.type.ends_with("/calcChain");
    }
    EXPECT_EQ(related, c.chain_kept);
  }
}

}  // namespace
}  // namespace kastel::xlsx::testing
