// The round trip a definition workbook goes through: a file written by another program is
// opened, changed the way the commands change it and saved; openpyxl then finds every change,
// everything untouched is as it was, and LibreOffice still reads the result.
#include <gtest/gtest.h>

#include <set>

#include "workbook_fixture.h"

namespace kastel::xlsx::testing {
namespace {

// book.xlsx as openpyxl wrote it, or after LibreOffice opened and saved it.
std::string Source(const std::string& writer) {
  if (writer == "openpyxl") return Fixture("book.xlsx");
  static ScratchDir dir;
  static const std::string converted = ConvertWithLibreOffice(Fixture("book.xlsx"), dir.path());
  return converted;
}

class RoundTrip : public ::testing::TestWithParam<std::string> {};

TEST_P(RoundTrip, KeepsWhatWasNotTouchedAndShowsEveryChange) {
  const std::string source = Source(GetParam());
  ASSERT_NE(source, "") << "LibreOffice wrote nothing";
  const Facts before = DumpBook(source);
  ScratchDir dir;
  TestApp t;
  host::Workbook& wb = t.app.Open(source);

  host::Worksheet& top = wb.Worksheets("一覧");
  top.SetCell(20, 3, Value::Text("新規"));
  top.SetCell(5, 4, Value::Number(7.25));
  top.ClearContents("B8:B9");
  host::Worksheet& tpl = wb.Worksheets("template");
  tpl.Copy(tpl);
  host::Worksheet& orders = wb.Worksheets(wb.WorksheetCount() - 1);
  orders.SetName("ORDERS");
  orders.SetCell(4, 3, Value::Text("ORDERS"));
  orders.SetPrintArea("$B$3:$V$40");
  top.AddHyperlink("C5", "ORDERS!R1C1", "ORDERS");
  wb.WorkbookNames().Delete("DATA_TYPE");
  wb.WorkbookNames().AddR1C1("DATA_TYPE", "='@LIST'!R2C3:R3C3");
  wb.CustomDocumentProperties().AddText("DB", "SQL");
  t.app.SaveAs(wb, dir / "out.xlsx");

  const Facts after = DumpBook(dir / "out.xlsx");
  const Facts changes = {
      {"cell:一覧!C20", "str:新規"},      {"cell:一覧!D5", "float:7.25"},
      {"cell:一覧!C5", "str:ORDERS"},     {"link:一覧!C5", "'ORDERS'!A1|ORDERS"},
      {"cell:ORDERS!C4", "str:ORDERS"},   {"cell:ORDERS!B3", "str:テーブル定義書"},
      {"printarea:ORDERS", "$B$3:$V$40"}, {"name:DATA_TYPE", "'@LIST'!$C$2:$C$3"},
      {"custom:DB", "lpwstr|SQL"}};
  for (const auto& [key, value] : changes) {
    EXPECT_EQ(after.count(key) ? after.at(key) : "(none)", value) << key;
  }
  EXPECT_EQ(after.count("cell:一覧!B8") + after.count("cell:一覧!B9"), 0u);
  EXPECT_EQ(after.at("sheet:4").substr(0, 7), "ORDERS|");
  EXPECT_EQ(after.at("sheet:5").substr(0, 9), "template|");

  // Everything else openpyxl sees is as it was: values, styles, merged cells, validations,
  // pictures, comments, print areas, the other names and properties, sheet states.
  const std::set<std::string> changed = {"cell:一覧!C20", "cell:一覧!D5",  "cell:一覧!B8",
                                         "cell:一覧!B9",  "cell:一覧!C5",  "style:一覧!D5",
                                         "style:一覧!B8", "style:一覧!B9", "name:DATA_TYPE",
                                         "style:一覧!C5", "style:一覧!C20"};
  int compared = 0;
  for (const auto& [key, value] : before) {
    const bool kept_kind = key.starts_with("cell:") || key.starts_with("style:") ||
                           key.starts_with("merged:") || key.starts_with("dv:") ||
                           key.starts_with("images:") || key.starts_with("comment:") ||
                           key.starts_with("printarea:") || key.starts_with("name:") ||
                           key.starts_with("custom:") || key.starts_with("sheet:");
    if (!kept_kind || changed.count(key) || key == "sheet:4") continue;
    ++compared;
    EXPECT_EQ(after.count(key) ? after.at(key) : "(none)", value) << key;
  }
  EXPECT_GT(compared, 30);
  EXPECT_EQ(after.at("images:一覧"), "1");
  EXPECT_EQ(after.at("style:一覧!D5"), before.at("style:一覧!D5"));

  ScratchDir converted;
  const std::string again = ConvertWithLibreOffice(dir / "out.xlsx", converted.path());
  ASSERT_NE(again, "") << "LibreOffice could not read the saved workbook";
  const Facts lo = DumpBook(again);
  EXPECT_EQ(lo.at("cell:ORDERS!C4"), "str:ORDERS");
  EXPECT_EQ(lo.at("cell:一覧!C20"), "str:新規");
}

INSTANTIATE_TEST_SUITE_P(Writers, RoundTrip, ::testing::Values("openpyxl", "LibreOffice"));

}  // namespace
}  // namespace kastel::xlsx::testing
