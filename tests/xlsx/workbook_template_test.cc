// New workbooks from templates, templates opened as themselves, and macro-enabled workbooks:
// what each is saved as, and that the template and macro parts survive.
#include <gtest/gtest.h>

#include "base/error.h"
#include "workbook_fixture.h"

namespace kastel::xlsx::testing {
namespace {

constexpr const char* kSheetMain =
    "application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml";
constexpr const char* kMacroMain = "application/vnd.ms-excel.sheet.macroEnabled.main+xml";

TEST(AddWorkbook, MakesANumberedActiveWorkbookSavedAsAWorkbookNotATemplate) {
  ScratchDir dir;
  const std::string tpl = CopyFixture("book.xltx", dir);
  const std::string tpl_bytes = ReadFile(tpl);
  TestApp t;
  host::Workbook& first = t.app.AddWorkbook(tpl);
  host::Workbook& second = t.app.AddWorkbook(tpl);
  EXPECT_EQ(first.Name(), "book1");
  EXPECT_EQ(second.Name(), "book2");
  EXPECT_EQ(t.app.ActiveWorkbook(), &second);
  EXPECT_EQ(t.app.PathOf(first), "");
  EXPECT_EQ(first.CustomDocumentProperties().Item("TEMPLATE").GetValue(), Value::Text("DB"));
  ExpectError([&] { t.app.SaveAs(first, ""); }, kHostError,
              "ブック'book1'の保存先のファイル名を指定してください。");

  first.Worksheets("一覧").SetCell(2, 2, Value::Text("新しいブック"));
  t.app.SaveAs(first, dir / "new.xlsx");
  EXPECT_EQ(first.Name(), "new.xlsx");
  const Facts facts = DumpBook(dir / "new.xlsx");
  EXPECT_EQ(facts.at("ctype:/xl/workbook.xml"), kSheetMain);
  EXPECT_EQ(facts.at("cell:一覧!B2"), "str:新しいブック");
  EXPECT_EQ(facts.at("custom:TEMPLATE"), "lpwstr|DB");
  // The template itself is never written.
  EXPECT_EQ(ReadFile(tpl), tpl_bytes);
}

TEST(Open, ATemplateOpensAsItselfAndIsNotWrittenBackOverItself) {
  ScratchDir dir;
  const std::string tpl = CopyFixture("book.xltx", dir);
  TestApp t;
  host::Workbook& wb = t.app.Open(tpl);
  EXPECT_EQ(wb.Name(), "book.xltx");
  EXPECT_EQ(t.app.PathOf(wb), tpl);
  ExpectError([&] { t.app.SaveAs(wb, ""); }, kHostError,
              "ブック'book.xltx'の保存先のファイル名を指定してください。");
  t.app.SaveAs(wb, dir / "copy.xlsx");
  EXPECT_EQ(DumpBook(dir / "copy.xlsx").at("ctype:/xl/workbook.xml"), kSheetMain);
}

TEST(MacroWorkbook, KeepsItsMacroPartByteForByteWithItsTypeAndRelationship) {
  ScratchDir dir;
  TestApp t;
  host::Workbook& wb = t.app.Open(Fixture("book.xlsm"));
  wb.Worksheets("template").Copy(wb.Worksheets("template"));
  wb.Worksheets("一覧").SetCell(3, 3, Value::Number(1));
  t.app.SaveAs(wb, dir / "out.xlsm");
  auto package = Package::Open(dir / "out.xlsm");
  EXPECT_EQ(package->Read("xl/vbaProject.bin"), ReadFile(Fixture("vba.bin")));
  EXPECT_EQ(package->ContentType("xl/vbaProject.bin"), "application/vnd.ms-office.vbaProject");
  EXPECT_EQ(package->ContentType("xl/workbook.xml"), kMacroMain);
  int vba_rels = 0;
  for (const auto& rel : package->Relationships("xl/workbook.xml")) {
    if (rel.type == "http://schemas.microsoft.com/office/2006/relationships/vbaProject") {
      ++vba_rels;
      EXPECT_EQ(rel.target_part, "xl/vbaProject.bin");
    }
  }
  EXPECT_EQ(vba_rels, 1);
  EXPECT_EQ(DumpBook(dir / "out.xlsm").at("cell:一覧!C3"), "int:1");
}

TEST(MacroWorkbook, IsNotSavedUnderAnExtensionThatCannotHoldMacros) {
  ScratchDir dir;
  TestApp t;
  host::Workbook& wb = t.app.Open(Fixture("book.xlsm"));
  for (const char* name : {"out.xlsx", "out.xltx"}) {
    const std::string ext = std::string(name).substr(3);
    ExpectError([&] { t.app.SaveAs(wb, dir / name); }, kHostError,
                "ブック'book.xlsm'にはマクロが含まれているため、" + ext +
                    " 形式では保存できません。.xlsm 形式で保存してください。");
  }
  EXPECT_TRUE(dir.List().empty());
}

}  // namespace
}  // namespace kastel::xlsx::testing
