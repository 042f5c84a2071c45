// Custom document properties and workbook-level names, read from and saved into real files.
#include <gtest/gtest.h>

#include "base/error.h"
#include "workbook_fixture.h"
#include "xlsx/doc_props.h"
#include "xlsx/names.h"

namespace kastel::xlsx::testing {
namespace {

constexpr long kSubscript = 9;
const char* kSubscriptText = "インデックスが有効範囲にありません。";

// 2024-01-05 09:03:07 as a VB date serial.
const double kWhen = 45296 + (9 * 3600 + 3 * 60 + 7) / 86400.0;

TEST(FileTime, ConvertsBetweenTextAndDateSerials) {
  struct Case {
    const char* text;
    double serial;
  } cases[] = {{"2024-01-05T09:03:07Z", kWhen},
               {"1899-12-30T00:00:00Z", 0},
               {"1900-03-01T12:00:00Z", 61.5},
               {"1970-01-01T00:00:00Z", 25569}};
  for (const auto& c : cases) {
    EXPECT_EQ(FileTimeText(c.serial), c.text);
    ASSERT_TRUE(ParseFileTime(c.text)) << c.text;
    EXPECT_NEAR(*ParseFileTime(c.text), c.serial, 1e-9) << c.text;
  }
  for (const char* bad : {"", "2024", "2024-13-01T00:00:00Z", "yesterday"}) {
    EXPECT_FALSE(ParseFileTime(bad)) << bad;
  }
}

TEST(DocumentProperties, AreSavedWithTheirTypes) {
  ScratchDir dir;
  TestApp t;
  host::Workbook& wb = t.app.Open(Fixture("book.xlsx"));
  host::DocumentProperties& props = wb.CustomDocumentProperties();
  props.Item("TEMPLATE").SetValue(Value::Text("<DB & \x01>"));
  props.Item("COUNT").SetValue(Value::Number(7));
  props.Item("FLAG").SetValue(Value::Text("はい"));
  props.Item("WHEN").SetValue(Value::Date(45297.5));
  props.AddText("DATA_SOURCE", "(local)");
  t.app.SaveAs(wb, dir / "out.xlsx");
  const Facts facts = DumpBook(dir / "out.xlsx");
  const Facts expected = {{"custom:TEMPLATE", "lpwstr|<DB & _x0001_>"},
                          {"custom:COUNT", "i4|7"},
                          {"custom:FLAG", "lpwstr|はい"},
                          {"custom:WHEN", "filetime|2024-01-06T12:00:00Z"},
                          {"custom:DATA_SOURCE", "lpwstr|(local)"}};
  EXPECT_EQ(WithPrefix(facts, "custom:"), expected);
  EXPECT_EQ(WithPrefix(facts, "pid:"), (Facts{{"pid:COUNT", "5"},
                                              {"pid:DATA_SOURCE", "6"},
                                              {"pid:FLAG", "3"},
                                              {"pid:TEMPLATE", "2"},
                                              {"pid:WHEN", "4"}}));
  TestApp again;
  EXPECT_EQ(again.app.Open(dir / "out.xlsx").CustomDocumentProperties().Item(1).GetValue(),
            Value::Text("<DB & \x01>"));
}

// plain.xlsx has no custom properties part; bare.xlsx has one that declares no value types.
TEST(DocumentProperties, AreAddedToAWorkbookWithoutAnyCreatingThePartWhenThereIsNone) {
  for (const char* fixture : {"plain.xlsx", "bare.xlsx"}) {
    SCOPED_TRACE(fixture);
    ScratchDir dir;
    TestApp t;
    host::Workbook& wb = t.app.Open(Fixture(fixture));
    host::DocumentProperties& props = wb.CustomDocumentProperties();
    EXPECT_EQ(props.Count(), 0);
    ExpectError([&] { props.Item(1); }, kSubscript, kSubscriptText);
    props.AddText("DB", "ORA");
    props.AddText("TEMPLATE", "DB");
    EXPECT_EQ(props.Item("DB").GetValue(), Value::Text("ORA"));
    t.app.SaveAs(wb, dir / "out.xlsx");
    const Facts facts = DumpBook(dir / "out.xlsx");
    EXPECT_EQ(WithPrefix(facts, "custom:"),
              (Facts{{"custom:DB", "lpwstr|ORA"}, {"custom:TEMPLATE", "lpwstr|DB"}}));
    EXPECT_EQ(WithPrefix(facts, "pid:"), (Facts{{"pid:DB", "2"}, {"pid:TEMPLATE", "3"}}));
    EXPECT_EQ(facts.at("ctype:/docProps/custom.xml"),
              "application/vnd.openxmlformats-officedocument.custom-properties+xml");
    auto package = Package::Open(dir / "out.xlsx");
    int rels = 0;
    for (const auto& rel : package->Relationships("")) {
      if (rel.type.ends_with("/custom-properties")) {
        ++rels;
        EXPECT_EQ(rel.target_part, "docProps/custom.xml");
      }
    }
    EXPECT_EQ(rels, 1);
  }
}

TEST(Names, ReplaceTheirNamesakeAndVanishWithTheLastOne) {
  ScratchDir dir;
  TestApp t;
  host::Workbook& wb = t.app.Open(Fixture("plain.xlsx"));
  host::Names& names = wb.WorkbookNames();
  names.AddR1C1("DATA_TYPE", "='Sheet1'!R1C1:R2C1");
  names.AddR1C1("data_type", "='Sheet1'!R3C1:R4C1");
  t.app.SaveAs(wb, dir / "one.xlsx");
  const std::string one = Package::Open(dir / "one.xlsx")->Read("xl/workbook.xml");
  // One name, placed after <sheets> and before <calcPr> as the schema orders them.
  EXPECT_NE(one.find("</sheets><definedNames><definedName name=\"data_type\">'Sheet1'!$A$3:$A$4"
                     "</definedName></definedNames><calcPr"),
            std::string::npos)
      << one;
  names.Delete("DATA_TYPE");
  t.app.SaveAs(wb, dir / "none.xlsx");
  const std::string none = Package::Open(dir / "none.xlsx")->Read("xl/workbook.xml");
  EXPECT_EQ(none.find("definedName"), std::string::npos) << none;
  EXPECT_EQ(DumpBook(dir / "none.xlsx").at("cell:Sheet1!A1"), "str:x");
}

}  // namespace
}  // namespace kastel::xlsx::testing
