// Opening, reading, changing and saving packages, checked on the zip that comes out.
#include "xlsx/package.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "package_fixture.h"

namespace kastel::xlsx {
namespace {

using testing::BuildZip;
using testing::MinimalWorkbook;
using testing::RawEntries;
using testing::ReadFile;
using testing::ScratchDir;
using testing::WriteFile;

TEST(PackageSave, KeepsUntouchedEntriesByteForByteAndWritesModifiedOnesAsChanged) {
  ScratchDir dir;
  std::vector<testing::ZipEntry> entries = MinimalWorkbook();
  entries.push_back({"xl/media/image1.png", std::string(300, '\x89'), true});
  WriteFile(dir / "book.xlsx", BuildZip(entries));
  auto before = RawEntries(dir / "book.xlsx");

  auto package = Package::Open(dir / "book.xlsx");
  pugi::xml_document& sheet = package->Xml("xl/worksheets/sheet1.xml");
  sheet.document_element().append_child("extLst");
  package->MarkModified("xl/worksheets/sheet1.xml");
  package->Write("xl/new.xml", "<a/>");
  package->Save(dir / "out.xlsx");

  auto after = RawEntries(dir / "out.xlsx");
  ASSERT_EQ(after.size(), before.size() + 1);
  for (std::size_t i = 0; i < before.size(); ++i) {
    EXPECT_EQ(after[i].first, before[i].first);
    if (before[i].first == "xl/worksheets/sheet1.xml") {
      EXPECT_NE(after[i].second.crc, before[i].second.crc);
    } else {
      EXPECT_EQ(after[i].second, before[i].second) << before[i].first;
    }
  }
  EXPECT_EQ(after.back().first, "xl/new.xml");

  auto reopened = Package::Open(dir / "out.xlsx");
  EXPECT_EQ(reopened->Read("xl/new.xml"), "<a/>");
  EXPECT_EQ(reopened->Read("xl/worksheets/sheet1.xml"),
            "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>"
            "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
            "<sheetData><row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is>"
            "<t xml:space=\"preserve\"> </t></is></c></row></sheetData><extLst/></worksheet>");
  EXPECT_FALSE(testing::HasZip64(ReadFile(dir / "out.xlsx")));
}

TEST(PackageSave, OverwritesTheFileItWasOpenedFromAndKeepsItsPermissions) {
  ScratchDir dir;
  const std::string path = dir / "book.xlsx";
  WriteFile(path, BuildZip(MinimalWorkbook()));
  ASSERT_EQ(chmod(path.c_str(), 0640), 0);

  auto package = Package::Open(path);
  package->Write("xl/worksheets/sheet1.xml", "<worksheet/>");
  package->Remove("xl/workbook.xml");
  package->Save(path);
  // Untouched parts are still read from the old zip, which the package holds open.
  EXPECT_EQ(package->Read("_rels/.rels"), Package::Open(path)->Read("_rels/.rels"));
  package->Save(path);

  auto reopened = Package::Open(path);
  EXPECT_EQ(reopened->Read("xl/worksheets/sheet1.xml"), "<worksheet/>");
  EXPECT_FALSE(reopened->Has("xl/workbook.xml"));
  EXPECT_EQ(reopened->PartNames(),
            (std::vector<std::string>{"[Content_Types].xml", "_rels/.rels",
                                      "xl/_rels/workbook.xml.rels", "xl/worksheets/sheet1.xml"}));
  struct stat st;
  ASSERT_EQ(stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
  EXPECT_EQ(dir.List(), std::vector<std::string>{"book.xlsx"});
}

}  // namespace
}  // namespace kastel::xlsx
