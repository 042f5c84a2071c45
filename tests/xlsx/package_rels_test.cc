// Relationships and content types: how targets resolve, and that changes to either survive a
// save and a fresh open.
#include <gtest/gtest.h>

#include "package_fixture.h"
#include "xlsx/package.h"
#include "xlsx/part_name.h"

namespace kastel::xlsx {
namespace {

using testing::BuildZip;
using testing::MinimalWorkbook;
using testing::ScratchDir;

constexpr char kWorksheetType[] =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet";
constexpr char kSheetContentType[] =
    "application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml";

TEST(PartNames, ResolveTargetsInsideThePackageOnlyAndRelativeOnesBackToTheirPart) {
  struct Case {
    const char* source;
    const char* target;
    const char* part;  // "" when the target leaves the package
    bool relative;     // `target` is also what Relative gives for `part`
  } cases[] = {
      {"xl/workbook.xml", "worksheets/sheet1.xml", "xl/worksheets/sheet1.xml", true},
      {"xl/workbook.xml", "./theme/theme1.xml", "xl/theme/theme1.xml", false},
      {"xl/worksheets/sheet1.xml", "../drawings/drawing1.xml", "xl/drawings/drawing1.xml", true},
      {"xl/worksheets/sheet1.xml", "sheet2.xml", "xl/worksheets/sheet2.xml", true},
      {"xl/worksheets/sheet1.xml", "../../docProps/custom.xml", "docProps/custom.xml", true},
      {"xl/workbook.xml", "../customXml/item1.xml", "customXml/item1.xml", true},
      {"xl/workbook.xml", "/xl/styles.xml", "xl/styles.xml", false},
      {"xl/worksheets/sheet1.xml", "/docProps/app.xml", "docProps/app.xml", false},
      {"", "xl/workbook.xml", "xl/workbook.xml", true},
      {"", "/xl/workbook.xml", "xl/workbook.xml", false},
      {"a.xml", "b/c.xml", "b/c.xml", true},
      {"xl/x/y.xml", "../x", "xl/x", true},
      {"xl/workbook.xml", "../../etc/passwd", "", false},
      {"", "../x.xml", "", false},
      {"xl/workbook.xml", "..", "", false},
      {"xl/workbook.xml", "/", "", false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.source) + " -> " + c.target);
    EXPECT_EQ(part_name::Resolve(c.source, c.target).value_or(""), c.part);
    if (c.relative) {
      EXPECT_EQ(part_name::Relative(c.source, c.part), c.target);
    }
  }
}

TEST(PackageRelationships, ReadsIdsTypesAndResolvedTargets) {
  std::vector<testing::ZipEntry> entries = MinimalWorkbook();
  entries[3].bytes =
      R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
      R"(<Relationship Id="rId1" Type="t/ws" Target="worksheets/sheet1.xml"/>)"
      R"(<Relationship Id="rId2" Type="t/link" Target="../../../../etc/passwd"/>)"
      R"(<Relationship Id="rId3" Type="t/link" Target="file:///etc/passwd" TargetMode="External"/>)"
      R"(<Relationship Id="rId4" Type="t/styles" Target="/xl/styles.xml"/>)"
      R"(</Relationships>)";
  auto package = Package::OpenBytes(BuildZip(entries), "r.xlsx");
  auto rels = package->Relationships("xl/workbook.xml");
  ASSERT_EQ(rels.size(), 4u);
  struct Expected {
    const char* id;
    const char* type;
    const char* target_part;
    bool external;
  } expected[] = {{"rId1", "t/ws", "xl/worksheets/sheet1.xml", false},
                  {"rId2", "t/link", "", false},
                  {"rId3", "t/link", "", true},
                  {"rId4", "t/styles", "xl/styles.xml", false}};
  for (std::size_t i = 0; i < rels.size(); ++i) {
    SCOPED_TRACE(expected[i].id);
    EXPECT_EQ(rels[i].id, expected[i].id);
    EXPECT_EQ(rels[i].type, expected[i].type);
    EXPECT_EQ(rels[i].target_part, expected[i].target_part);
    EXPECT_EQ(rels[i].external, expected[i].external);
  }
  EXPECT_EQ(rels[2].target, "file:///etc/passwd");
  EXPECT_TRUE(package->Relationships("xl/worksheets/sheet1.xml").empty());
}

TEST(PackageRelationships, AddedAndRemovedOnesSurviveASave) {
  ScratchDir dir;
  auto package = Package::OpenBytes(BuildZip(MinimalWorkbook()), "r.xlsx");
  EXPECT_EQ(package->AddRelationship("xl/workbook.xml", kWorksheetType, "xl/worksheets/s2.xml"),
            "rId2");
  EXPECT_EQ(package->AddRelationship("xl/workbook.xml", kWorksheetType, "xl/worksheets/s3.xml"),
            "rId3");
  package->RemoveRelationship("xl/workbook.xml", "rId1");
  // A source without relationships gets its .rels part.
  EXPECT_EQ(package->AddRelationship("xl/worksheets/sheet1.xml", "t/d", "xl/drawings/d1.xml"),
            "rId1");
  package->Save(dir / "out.xlsx");

  auto reopened = Package::Open(dir / "out.xlsx");
  auto workbook = reopened->Relationships("xl/workbook.xml");
  ASSERT_EQ(workbook.size(), 2u);
  EXPECT_EQ(workbook[0].id, "rId2");
  EXPECT_EQ(workbook[0].target, "worksheets/s2.xml");
  EXPECT_EQ(workbook[1].target_part, "xl/worksheets/s3.xml");
  // A fresh id never reuses a removed one that is still below the highest.
  EXPECT_EQ(reopened->AddRelationship("xl/workbook.xml", kWorksheetType, "xl/a.xml"), "rId4");
  auto sheet = reopened->Relationships("xl/worksheets/sheet1.xml");
  ASSERT_EQ(sheet.size(), 1u);
  EXPECT_EQ(sheet[0].target, "../drawings/d1.xml");
  EXPECT_EQ(sheet[0].target_part, "xl/drawings/d1.xml");
  EXPECT_TRUE(reopened->Has("xl/worksheets/_rels/sheet1.xml.rels"));
}

TEST(PackageRelationships, ANewRelsPartGetsItsContentTypeWhenNoDefaultCoversIt) {
  auto package = Package::OpenBytes(
      BuildZip(
          {{"[Content_Types].xml",
            R"(<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types"/>)"}}),
      "bare.xlsx");
  package->AddRelationship("", "t/doc", "xl/workbook.xml");
  EXPECT_EQ(package->ContentType("_rels/.rels"),
            "application/vnd.openxmlformats-package.relationships+xml");
  EXPECT_EQ(package->Relationships("")[0].target, "xl/workbook.xml");
}

TEST(PackageContentTypes, OverrideWinsOverDefaultAndChangesAreSaved) {
  ScratchDir dir;
  auto package = Package::OpenBytes(BuildZip(MinimalWorkbook()), "c.xlsx");
  struct Case {
    const char* part;
    const char* type;
  } before[] = {
      {"xl/worksheets/sheet1.xml", kSheetContentType},
      {"XL/Worksheets/Sheet1.XML", kSheetContentType},
      {"xl/styles.xml", "application/xml"},
      {"xl/styles.XML", "application/xml"},
      {"xl/_rels/workbook.xml.rels", "application/vnd.openxmlformats-package.relationships+xml"},
      {"xl/media/image1.png", ""},
      {"xl/noextension", ""},
      {"xl.d/file", ""}};
  for (const Case& c : before) EXPECT_EQ(package->ContentType(c.part), c.type) << c.part;

  package->SetOverride("xl/worksheets/sheet1.xml", "x/replaced");
  package->SetOverride("xl/worksheets/sheet2.xml", kSheetContentType);
  package->RemoveOverride("XL/WORKBOOK.XML");
  package->Save(dir / "out.xlsx");

  auto reopened = Package::Open(dir / "out.xlsx");
  Case after[] = {{"xl/worksheets/sheet1.xml", "x/replaced"},
                  {"xl/worksheets/sheet2.xml", kSheetContentType},
                  {"xl/workbook.xml", "application/xml"}};
  for (const Case& c : after) EXPECT_EQ(reopened->ContentType(c.part), c.type) << c.part;
  std::string types = reopened->Read("[Content_Types].xml");
  EXPECT_NE(types.find(R"(<Override PartName="/xl/worksheets/sheet2.xml")"), std::string::npos);
  EXPECT_EQ(types.find("workbook.xml"), std::string::npos);
}

}  // namespace
}  // namespace kastel::xlsx
