// Opening, reading, changing and saving packages, checked on the zip that comes out.
#include "xlsx/package.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "package_fixture.h"
#include "xlsx/package_messages.h"

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
  entries.push_back({"xl/media/", ""});  // a folder entry: kept, but not a part
  entries.push_back({"xl/media/image1.png", std::string(300, '\x89'), true});
  WriteFile(dir / "book.xlsx", BuildZip(entries));
  auto before = RawEntries(dir / "book.xlsx");

  auto package = Package::Open(dir / "book.xlsx");
  EXPECT_EQ(package->PartNames().size(), entries.size() - 1);
  EXPECT_FALSE(package->Has("xl/media/"));
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

TEST(PackageSave, AFailedSaveLeavesTheOldFileAndNoTemporaryFile) {
  struct Case {
    const char* name;
    const char* target;  // inside the scratch folder
    std::string reason;
  } cases[] = {{"missing folder", "no/such/folder/out.xlsx", messages::FolderMissing()},
               {"a file where a folder should be", "book.xlsx/out.xlsx", messages::FolderMissing()},
               {"a folder at the target", "folder.xlsx", messages::TargetIsFolder()},
               {"a pipe at the target", "pipe.xlsx", messages::TargetNotAFile()}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ScratchDir dir;
    const std::string original = BuildZip(MinimalWorkbook());
    WriteFile(dir / "book.xlsx", original);
    ASSERT_EQ(mkdir((dir / "folder.xlsx").c_str(), 0755), 0);
    ASSERT_EQ(mkfifo((dir / "pipe.xlsx").c_str(), 0644), 0);
    auto package = Package::Open(dir / "book.xlsx");
    package->Write("xl/workbook.xml", "<workbook/>");
    std::string target = dir / c.target;
    testing::ExpectError(
        [&] { package->Save(target); }, kFileFormatError,
        "ファイル「" + std::string(messages::FileName(target)) + "」に保存できません: " + c.reason);
    EXPECT_EQ(ReadFile(dir / "book.xlsx"), original);
    EXPECT_EQ(dir.List(), (std::vector<std::string>{"book.xlsx", "folder.xlsx", "pipe.xlsx"}));
    // The package is still usable: the same changes save fine elsewhere.
    package->Save(dir / "ok.xlsx");
    EXPECT_EQ(Package::Open(dir / "ok.xlsx")->Read("xl/workbook.xml"), "<workbook/>");
  }
}

TEST(PackageSave, ANewFileGetsTheUsualModeAndALinkStaysALink) {
  ScratchDir dir;
  auto package = Package::OpenBytes(BuildZip(MinimalWorkbook()), "m.xlsx");
  mode_t mask = umask(022);
  package->Save(dir / "new.xlsx");
  umask(mask);
  struct stat st;
  ASSERT_EQ(stat((dir / "new.xlsx").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0644u);

  ASSERT_EQ(symlink("new.xlsx", (dir / "link.xlsx").c_str()), 0);
  package->Write("xl/a.xml", "<a/>");
  package->Save(dir / "link.xlsx");
  ASSERT_EQ(lstat((dir / "link.xlsx").c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  EXPECT_EQ(Package::Open(dir / "new.xlsx")->Read("xl/a.xml"), "<a/>");
  EXPECT_EQ(dir.List(), (std::vector<std::string>{"link.xlsx", "new.xlsx"}));

  const std::string longest = std::string(250, 'a') + ".xlsx";  // as long as a name can be
  package->Save(dir / longest);
  EXPECT_TRUE(Package::Open(dir / longest)->Has("xl/a.xml"));
}

TEST(PackageParts, NamesCompareWithoutCaseAndKeepTheirPlace) {
  auto package = Package::OpenBytes(BuildZip(MinimalWorkbook()), "p.xlsx");
  package->Write("XL/WORKBOOK.XML", "<w/>");
  package->Remove("_rels/.rels");
  package->Write("xl/added.xml", "<n/>");
  package->Write("_RELS/.rels", "<r/>");
  EXPECT_EQ(package->PartNames(),
            (std::vector<std::string>{"[Content_Types].xml", "_rels/.rels", "xl/workbook.xml",
                                      "xl/_rels/workbook.xml.rels", "xl/worksheets/sheet1.xml",
                                      "xl/added.xml"}));
  EXPECT_EQ(package->Read("xl/workbook.xml"), "<w/>");
  EXPECT_EQ(package->Read("_rels/.rels"), "<r/>");
  package->Remove("xl/added.xml");
  EXPECT_FALSE(package->Has("xl/added.xml"));
  testing::ExpectError([&] { package->Read("xl/added.xml"); }, kFileFormatError,
                       "ファイル「p.xlsx」を開けません: " + messages::MissingPart("xl/added.xml"));
}

TEST(PackageParts, BadNamesForNewPartsAreRefusedAsInvalidCalls) {
  auto package = Package::OpenBytes(BuildZip(MinimalWorkbook()), "p.xlsx");
  for (const char* name : {"", "/xl/a.xml", "xl/../../a.xml", "xl/./a.xml", "xl/"}) {
    SCOPED_TRACE(name);
    testing::ExpectError([&] { package->Write(name, "x"); }, 5,
                         "プロシージャの呼び出し、または引数が不正です。");
  }
  EXPECT_EQ(package->PartNames().size(), 5u);
}

TEST(PackageParts, DomsAreKeptUntilReleasedAndModifiedOnesNeverAre) {
  auto package = Package::OpenBytes(BuildZip(MinimalWorkbook()), "p.xlsx");
  const char* sheet = "xl/worksheets/sheet1.xml";
  package->Xml(sheet).document_element().append_attribute("unsaved") = "1";
  package->Release(sheet);
  EXPECT_FALSE(package->Xml(sheet).document_element().attribute("unsaved"));

  package->Xml(sheet).document_element().append_attribute("kept") = "1";
  package->MarkModified(sheet);
  package->Release(sheet);
  EXPECT_TRUE(package->Xml(sheet).document_element().attribute("kept"));
  EXPECT_NE(package->Read(sheet).find("kept=\"1\""), std::string::npos);

  // Writing bytes drops the DOM; the next Xml parses the new bytes.
  package->Write(sheet, "<worksheet new=\"1\"/>");
  EXPECT_TRUE(package->Xml(sheet).document_element().attribute("new"));
  EXPECT_EQ(package->Read(sheet), "<worksheet new=\"1\"/>");
}

}  // namespace
}  // namespace kastel::xlsx
