// A sheet that is only read is taken in one pass over its bytes; it must give every cell the
// value the DOM gives it. Each case reads the same part both ways: once as it comes, once after
// the part was parsed as a DOM (which the cell layer then reads instead).
#include <gtest/gtest.h>

#include "package_fixture.h"
#include "sheet_fixture.h"

namespace kastel::xlsx::testing {
namespace {

// Every cell of rows 1..rows, columns 1..columns read both ways. The pass must have taken the
// part (no DOM parsed for it) unless `dom_expected`.
void ExpectSameValues(SheetUnderTest& pass, SheetUnderTest& dom, int rows, int columns,
                      bool dom_expected, const std::string& label) {
  dom.package().Xml(dom.data().part());
  for (int row = 1; row <= rows; ++row) {
    for (int column = 1; column <= columns; ++column) {
      Value want, got;
      try {
        want = dom.data().Get(row, column);
      } catch (const Error& e) {
        want = Value::Text("error " + e.description());
      }
      try {
        got = pass.data().Get(row, column);
      } catch (const Error& e) {
        got = Value::Text("error " + e.description());
      }
      EXPECT_EQ(got, want) << label << " row " << row << " column " << column;
    }
  }
  EXPECT_EQ(pass.package().Parsed(pass.data().part()), dom_expected) << label;
}

TEST(SheetCellsTest, FilesOfOpenpyxlAndLibreOfficeReadAsTheirDom) {
  ScratchDir dir;
  const std::string openpyxl = FixtureDir() + "/cells.xlsx";
  const std::string libreoffice = ConvertWithLibreOffice(openpyxl, dir.path());
  ASSERT_NE(libreoffice, "");
  for (const std::string& file : {openpyxl, libreoffice}) {
    for (const char* sheet : {"cells", "find"}) {
      SheetUnderTest pass(file, sheet), dom(file, sheet);
      ExpectSameValues(pass, dom, 520, 22, false, file + " " + sheet);
    }
  }
}

TEST(SheetCellsTest, TextEscapesAndUnusualMarkupReadAsTheirDom) {
  const struct {
    const char* label;
    const char* sheet_data;
    bool dom_expected;  // the pass leaves the part to the DOM
  } cases[] = {
      {"references",
       R"(<row r="1"><c r="A1" t="inlineStr"><is><t>&#12486;&#x30FC;&amp;&lt;&gt;&quot;&apos;</t></is></c>)"
       R"(<c r="B1" t="str"><v>a&amp;b_x000D_</v></c><c r="C1"><v>&#49;2</v></c></row>)",
       false},
      {"references the parser keeps",
       R"(<row r="1"><c r="A1" t="inlineStr"><is><t>&X; &#X41; &#; &#99999999;</t></is></c></row>)",
       false},
      {"carriage returns",
       "<row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>a\r\nb\rc</t></is></c></row>", false},
      {"escapes and runs",
       R"(<row r="1"><c r="A1" t="inlineStr"><is><r><t>_x0041_</t></r><r><rPr><b/></rPr><t xml:space="preserve"> x</t><t>y</t></r>)"
       R"(<rPh sb="0" eb="1"><t>p</t></rPh><t>_x005F_x0041_</t></is></c></row>)",
       false},
      {"empty values",
       R"(<row r="1"><c r="A1" t="str"><v/></c><c r="B1" t="inlineStr"><is/></c><c r="C1" t="inlineStr"/></row>)"
       R"(<row r="2"><c r="A2" t="inlineStr"><is><t/></is></c><c r="B2" s="1"/><c r="C2" t="b"><v>1</v></c></row>)",
       false},
      {"prefixes, blanks, no addresses",
       "<x:row r=\"1\">\n <x:c r=\"B1\" t=\"e\">\n  <x:v>#N/A</x:v>\n </x:c>\n <x:c><x:v> 3 "
       "</x:v></x:c>\n</x:row>"
       "<x:row><x:c t='inlineStr'><x:is>\n<x:t>z</x:t>\n</x:is></x:c></x:row>",
       false},
      {"comments and instructions between cells",
       R"(<!-- a --><row r="1"><?pi x?><c r="A1"><f>1+1</f><v>2</v><extLst/></c></row>)", false},
      {"a comment inside a value", R"(<row r="1"><c r="A1"><v><!--x-->5</v></c></row>)", true},
      {"CDATA inside a value",
       R"(<row r="1"><c r="A1" t="inlineStr"><is><t><![CDATA[a<b]]></t></is></c></row>)", true},
      {"a style in another form", R"(<row r="1"><c r="A1" s=" 1"><v>5</v></c></row>)", true},
      {"references in other forms",
       R"(<row r="2"><c r="$A$2"><v>1</v></c><c r="b2"><v>2</v></c><c r="C$2"><v>3</v></c></row>)",
       false},
      {"a reference to another row", R"(<row r="1"><c r="A2"><v>1</v></c></row>)", true},
      {"a row number with a leading zero", R"(<row r="1"><c r="A01"><v>1</v></c></row>)", true},
      {"cells out of order", R"(<row r="1"><c r="B1"><v>1</v></c><c r="A1"><v>2</v></c></row>)",
       true},
      {"an escape made by a reference",
       R"(<row r="1"><c r="A1" t="inlineStr"><is><t>&#95;x0041_</t></is></c></row>)", false},
      {"a value that is no number",
       R"(<row r="1"><c r="A1"><v>abc</v></c><c r="B1" t="s"><v>9</v></c></row>)", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    auto entries = MinimalWorkbook();
    entries.back().bytes =
        std::string(
            R"(<?xml version="1.0" encoding="UTF-8"?><x:worksheet xmlns:x="http://schemas.openxmlformats.org/spreadsheetml/2006/main">)"
            "<x:sheetData>") +
        c.sheet_data + "</x:sheetData></x:worksheet>";
    // Elements without a prefix in a prefixed root read the same way.
    SheetUnderTest pass(Package::OpenBytes(BuildZip(entries), "cells.xlsx"), "Sheet1");
    SheetUnderTest dom(Package::OpenBytes(BuildZip(entries), "cells.xlsx"), "Sheet1");
    ExpectSameValues(pass, dom, 3, 3, c.dom_expected, c.label);
  }
}

TEST(SheetCellsTest, AnEncodingOtherThanUtf8IsLeftToTheDom) {
  auto entries = MinimalWorkbook();
  entries.back().bytes =
      "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><worksheet "
      "xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"><sheetData><row "
      "r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>caf\xE9</t></is></c></row></sheetData></"
      "worksheet>";
  SheetUnderTest sheet(Package::OpenBytes(BuildZip(entries), "latin1.xlsx"), "Sheet1");
  EXPECT_EQ(sheet.data().Get(1, 1), Value::Text("caf\xC3\xA9"));
}

// The pass skips comments and instructions unread; a DOCTYPE hidden in one is still refused.
TEST(SheetCellsTest, ADoctypeWhereverItHidesIsRefused) {
  for (const std::string& part :
       {std::string("<?xml version=\"1.0\" x=\"<!DOCTYPE a>\"?><worksheet>"),
        std::string("<worksheet><!-- <!DOCTYPE a> -->"),
        std::string("<worksheet><?pi <!DOCTYPE a>?>")}) {
    SCOPED_TRACE(part);
    auto entries = MinimalWorkbook();
    entries.back().bytes =
        part + R"(<sheetData><row r="1"><c r="A1"><v>1</v></c></row></sheetData></worksheet>)";
    SheetUnderTest sheet(Package::OpenBytes(BuildZip(entries), "doctype.xlsx"), "Sheet1");
    EXPECT_THROW(sheet.data().Get(1, 1), Error);
  }
}

}  // namespace
}  // namespace kastel::xlsx::testing
