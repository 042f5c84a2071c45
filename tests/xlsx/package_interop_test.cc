// Packages written by other programs (openpyxl, LibreOffice) come back out of an unchanged save
// entry for entry identical, and the programs read what a changed save writes.
#include <gtest/gtest.h>

#include <filesystem>

#include "package_fixture.h"
#include "xlsx/package.h"

namespace kastel::xlsx {
namespace {

using testing::ReadFile;
using testing::RunCommand;
using testing::ScratchDir;
using testing::WriteFile;

// Debian's python3 carries openpyxl; a python3 found first on PATH may not.
constexpr char kPython[] = "/usr/bin/python3";

bool HaveOpenpyxl() {
  return RunCommand(std::string(kPython) + " -c 'import openpyxl' 2>/dev/null") == 0;
}
bool HaveSoffice() { return RunCommand("command -v soffice >/dev/null") == 0; }

// Reads and parses every part, as a full load of the workbook would.
void TouchEveryPart(Package& package) {
  for (const std::string& part : package.PartNames()) {
    std::string bytes = package.Read(part);
    if (part.ends_with(".xml") || part.ends_with(".rels")) package.Xml(part);
  }
}

// Converts `input` with LibreOffice into `format` in `out_dir`, CSV read and written as
// UTF-8; the path of the result, which exists only when the conversion worked.
std::string Convert(const ScratchDir& dir, const std::string& input, const std::string& format,
                    const std::string& out_dir) {
  std::string profile = "file://" + (dir / "profile");
  RunCommand("soffice -env:UserInstallation=" + profile +
             " --headless --infilter=CSV:44,34,76,1 --convert-to '" + format + "' --outdir '" +
             out_dir + "' '" + input + "' >/dev/null 2>&1");
  std::filesystem::path result =
      std::filesystem::path(out_dir) / std::filesystem::path(input).stem();
  result += "." + format.substr(0, format.find(':'));
  return result.string();
}

TEST(PackageInterop, AnOpenpyxlWorkbookSavedUnchangedIsIdenticalPerEntry) {
  if (!HaveOpenpyxl()) GTEST_SKIP() << "openpyxl missing";
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
  ASSERT_EQ(
      RunCommand(std::string(kPython) + " '" + (dir / "make.py") + "' '" + (dir / "in.xlsx") + "'"),
      0);
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
  EXPECT_FALSE(testing::HasZip64(ReadFile(dir / "changed.xlsx")));
  WriteFile(dir / "check.py",
            "import openpyxl, sys\n"
            "wb = openpyxl.load_workbook(sys.argv[1])\n"
            "ws = wb['テーブル一覧']\n"
            "print(wb.properties.title, ws['A1'].value, ws['B2'].value, ws['C3'].value,\n"
            "      repr(wb['@LIST']['B1'].value), sep='|')\n");
  ASSERT_EQ(RunCommand(std::string(kPython) + " '" + (dir / "check.py") + "' '" +
                       (dir / "changed.xlsx") + "' > '" + (dir / "out.txt") + "'"),
            0);
  EXPECT_EQ(ReadFile(dir / "out.txt"), "定義書|論理名|3.5|=B2*2|' 空白 '\n");
}

// The saves above are checked to carry no ZIP64 fields; this makes sure the check can see them.
TEST(PackageInterop, TheZip64CheckSeesTheFieldsPythonWritesWhenForced) {
  ScratchDir dir;
  const std::string script =
      "import zipfile, sys\n"
      "with zipfile.ZipFile(sys.argv[1], 'w', zipfile.ZIP_DEFLATED) as z:\n"
      "  z.writestr('a.xml', '<a/>')\n"
      "  with z.open('b.xml', 'w', force_zip64=sys.argv[2] == '1') as f: f.write(b'<b/>')\n";
  WriteFile(dir / "zip.py", script);
  for (const char* forced : {"0", "1"}) {
    std::string zip = dir / (std::string("z") + forced + ".zip");
    ASSERT_EQ(
        RunCommand(std::string(kPython) + " '" + (dir / "zip.py") + "' '" + zip + "' " + forced),
        0);
    EXPECT_EQ(testing::HasZip64(ReadFile(zip)), forced[0] == '1') << forced;
  }
}

TEST(PackageInterop, ALibreOfficeWorkbookSurvivesASaveAndLibreOfficeReadsItBack) {
  if (!HaveSoffice()) GTEST_SKIP() << "soffice missing";
  ScratchDir dir;
  const std::string csv = "列名,データ型\nID,int\n名前,nvarchar(40)\n";
  WriteFile(dir / "in.csv", csv);
  std::string xlsx = Convert(dir, dir / "in.csv", "xlsx", dir.path());
  ASSERT_TRUE(std::filesystem::exists(xlsx)) << "LibreOffice wrote no xlsx";

  auto package = Package::Open(xlsx);
  TouchEveryPart(*package);
  package->Save(dir / "same.xlsx");
  EXPECT_EQ(testing::RawEntries(dir / "same.xlsx"), testing::RawEntries(xlsx));

  // Every XML part rewritten from its DOM: LibreOffice still reads the same cells.
  for (const std::string& part : package->PartNames()) {
    if (part.ends_with(".xml") || part.ends_with(".rels")) package->MarkModified(part);
  }
  std::filesystem::create_directory(dir / "back");
  package->Save(dir / "back/rewritten.xlsx");
  std::string back = Convert(dir, dir / "back/rewritten.xlsx",
                             "csv:Text - txt - csv (StarCalc):44,34,76", dir / "back");
  ASSERT_TRUE(std::filesystem::exists(back)) << "LibreOffice could not read the saved file";
  std::string read_back = ReadFile(back);
  if (!read_back.ends_with('\n')) read_back += '\n';
  EXPECT_EQ(read_back, csv);
}

}  // namespace
}  // namespace kastel::xlsx
