// Packages written by another program (openpyxl) come back out of an unchanged save
// entry for entry identical, and the programs read what a changed save writes.
#include <gtest/gtest.h>

#include "package_fixture.h"
#include "xlsx/package.h"

namespace kastel::xlsx {
namespace {

using testing::ReadFile;
using testing::ScratchDir;
using testing::WriteFile;

// Reads and parses every part, as a full load of the workbook would.
void TouchEveryPart(Package& package) {
  for (const std::string& part : package.PartNames()) {
    std::string bytes = package.Read(part);
    if (part.ends_with(".xml") || part.ends_with(".rels")) package.Xml(part);
  }
}

TEST(PackageInterop, AnOpenpyxlWorkbookSavedUnchangedIsIdenticalPerEntry) {
  ScratchDir dir;
  WriteFile(dir / "make.py",
            "import openpyxl, sys\n"
            "wb = openpyxl.Workbook()\n"
            "ws = wb.active\n"
            "ws.title = 'テーブル一覧'\n"
            "ws['A1'] = '論理名'\n"
            "ws['B2'] = 3.5\n"
            "ws['C3'] = '=B2*2'\n"
            "wb.create_sheet('@LIST')['B1'] = ' 空白 '\n"
            "wb.save(sys.argv[1])\n");
  testing::Python({dir / "make.py", dir / "in.xlsx"});
  auto package = Package::Open(dir / "in.xlsx");
  TouchEveryPart(*package);
  package->Save(dir / "same.xlsx");
  EXPECT_EQ(testing::RawEntries(dir / "same.xlsx"), testing::RawEntries(dir / "in.xlsx"));

  // A changed part is read back by openpyxl.
  pugi::xml_document& core = package->Xml("docProps/core.xml");
  pugi::xml_node title = core.document_element().append_child("dc:title");
  title.append_attribute("xmlns:dc") = "http://purl.org/dc/elements/1.1/";
  title.text().set("定義書");
  package->MarkModified("docProps/core.xml");
  package->Save(dir / "changed.xlsx");
  WriteFile(dir / "check.py",
            "import openpyxl, sys\n"
            "wb = openpyxl.load_workbook(sys.argv[1])\n"
            "ws = wb['テーブル一覧']\n"
            "print(wb.properties.title, ws['A1'].value, ws['B2'].value, ws['C3'].value,\n"
            "      repr(wb['@LIST']['B1'].value), sep='|')\n");
  EXPECT_EQ(testing::Python({dir / "check.py", dir / "changed.xlsx"}),
            "定義書|論理名|3.5|=B2*2|' 空白 '\n");
}

}  // namespace
}  // namespace kastel::xlsx
