// Internal hyperlinks and renamed sheet references, checked through openpyxl and the saved
// XML.
#include <gtest/gtest.h>

#include "package_fixture.h"
#include "sheet_fixture.h"

namespace kastel::xlsx::testing {
namespace {

constexpr char kSheetPart[] = "xl/worksheets/sheet1.xml";

// Names of the worksheet's child elements, in document order.
std::vector<std::string> ChildNames(Package& package) {
  std::vector<std::string> names;
  for (pugi::xml_node child : package.Xml(kSheetPart).document_element().children()) {
    names.push_back(child.name());
  }
  return names;
}

TEST(SheetLinksTest, HyperlinksGoInSchemaOrderAndReplaceALinkOnTheSameCell) {
  ScratchDir dir;
  {
    SheetUnderTest sheet(FixtureDir() + "/cells.xlsx", "cells");
    auto external = [&] {
      int count = 0;
      for (const Relationship& rel : sheet.package().Relationships(kSheetPart)) {
        count += rel.type.ends_with("/hyperlink");
      }
      return count;
    };
    ASSERT_EQ(external(), 1) << "the fixture's external link on C5";
    sheet.data().AddHyperlink("C5", "'1'!A1", "TABLE1");  // replaces the external link
    EXPECT_EQ(external(), 0);
    sheet.data().AddHyperlink("$C$6", "'2'!A1", "");
    sheet.data().AddHyperlink("C5", "'3'!A1", "TABLE3");   // replaces the first
    sheet.data().AddHyperlink("C7", "'4'!A1", "ctl\x01");  // no control character in XML
    const std::vector<std::string> expected = {"sheetPr",
                                               "dimension",
                                               "sheetViews",
                                               "sheetFormatPr",
                                               "sheetData",
                                               "mergeCells",
                                               "conditionalFormatting",
                                               "dataValidations",
                                               "hyperlinks",
                                               "pageMargins",
                                               "extLst"};
    EXPECT_EQ(ChildNames(sheet.package()), expected);
    ExpectError([&] { sheet.data().AddHyperlink("5C", "'1'!A1", "x"); }, kHostError,
                "アプリケーション定義またはオブジェクト定義のエラーです。");
    sheet.Save(dir / "links.xlsx");
  }
  const Facts f = DumpBook(dir / "links.xlsx");
  EXPECT_EQ(WithPrefix(f, "link:cells!"), (Facts{{"link:cells!C5", "'3'!A1|TABLE3"},
                                                 {"link:cells!C6", "'2'!A1|None"},
                                                 {"link:cells!C7", "'4'!A1|ctl"}}));
  EXPECT_EQ(Get(f, "cell:cells!C5"), "str:TABLE3");
  EXPECT_EQ(Get(f, "cell:cells!C6"), "str:'2'!A1");  // no text to display: the place shows
}

TEST(SheetLinksTest, ASheetWithoutLinksGetsNoEmptyHyperlinksElement) {
  SheetUnderTest sheet(FixtureDir() + "/cells.xlsx", "find");
  sheet.data().Set(1, 1, Value::Text("x"));
  sheet.data().RenameSheetReferences("find", "other");
  const std::string xml = SerializeXml(sheet.package().Xml("xl/worksheets/sheet2.xml"));
  EXPECT_EQ(xml.find("hyperlinks"), std::string::npos) << xml;
}

TEST(SheetLinksTest, RenamingASheetRewritesFormulasValidationsFormatsAndLinks) {
  ScratchDir dir;
  {
    SheetUnderTest sheet(FixtureDir() + "/cells.xlsx", "cells");
    sheet.data().AddHyperlink("G1", "find!A1", "検索へ");
    sheet.data().AddHyperlink("G2", "'cells'!A1", "ここ");
    sheet.data().RenameSheetReferences("FIND", "検索 1");
    sheet.data().RenameSheetReferences("nowhere", "x");
    const std::string xml = SerializeXml(sheet.package().Xml(kSheetPart));
    EXPECT_NE(xml.find("<xm:f>'検索 1'!$C$8:$C$10</xm:f>"), std::string::npos) << xml;
    EXPECT_EQ(xml.find("find!$"), std::string::npos) << xml;
    EXPECT_EQ(xml.find("find!A1"), std::string::npos) << xml;
    sheet.Save(dir / "renamed.xlsx");
  }
  const Facts f = DumpBook(dir / "renamed.xlsx");
  EXPECT_EQ(Get(f, "cell:cells!F1"), "str:='検索 1'!B2+'検索 1'!B3+\"find!B2\"");
  EXPECT_EQ(Get(f, "link:cells!G1"), "'検索 1'!A1|検索へ");
  EXPECT_EQ(Get(f, "link:cells!G2"), "'cells'!A1|ここ");
  EXPECT_EQ(Get(f, "dv:cells"), "F2='検索 1'!$C$8:$C$10");
  EXPECT_EQ(Get(f, "cf:cells"), "F1='検索 1'!$B$2>0");
}

TEST(SheetLinksTest, RenamingNothingLeavesTheSheetUnmodified) {
  SheetUnderTest sheet(FixtureDir() + "/cells.xlsx", "cells");
  sheet.data().RenameSheetReferences("nowhere", "x");
  EXPECT_FALSE(sheet.data().modified());
  sheet.data().RenameSheetReferences("find", "x");
  EXPECT_TRUE(sheet.data().modified());
  EXPECT_FALSE(sheet.data().formulas_removed());
}

}  // namespace
}  // namespace kastel::xlsx::testing
