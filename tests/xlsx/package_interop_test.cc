// Packages written by another program (openpyxl) come back out of an unchanged save entry for
// entry identical. That openpyxl reads what a changed save writes is the workbook round trip's
// part (workbook_roundtrip_test.cc).
#include <gtest/gtest.h>

#include "package_fixture.h"
#include "xlsx/package.h"

namespace kastel::xlsx {
namespace {

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
}

}  // namespace
}  // namespace kastel::xlsx
