#include "sheet_fixture.h"

#include <gtest/gtest.h>

#include "package_fixture.h"

namespace kastel::xlsx::testing {
namespace {

struct Workbook {
  std::string sst_part, styles_part;
  bool date1904 = false;
  std::map<std::string, std::string> sheets;  // name -> part
};

Workbook ReadWorkbook(Package& package) {
  Workbook wb;
  std::map<std::string, std::string> targets;
  for (const Relationship& rel : package.Relationships("xl/workbook.xml")) {
    targets[rel.id] = rel.target_part;
    if (rel.type.ends_with("/sharedStrings")) wb.sst_part = rel.target_part;
    if (rel.type.ends_with("/styles")) wb.styles_part = rel.target_part;
  }
  pugi::xml_node root = package.Xml("xl/workbook.xml").document_element();
  wb.date1904 = root.child("workbookPr").attribute("date1904").as_bool();
  for (pugi::xml_node sheet : root.child("sheets").children("sheet")) {
    wb.sheets[sheet.attribute("name").value()] = targets[sheet.attribute("r:id").value()];
  }
  return wb;
}

}  // namespace

const std::string& FixtureDir() {
  static ScratchDir dir;
  static const std::string path = [] {
    Python({KASTEL_SHEET_FIXTURES "/sheet_cells.py", dir.path()});
    return dir.path().string();
  }();
  return path;
}

SheetUnderTest::SheetUnderTest(const std::string& path, const std::string& sheet,
                               const PackageLimits& limits)
    : SheetUnderTest(Package::Open(path, limits), sheet) {}

SheetUnderTest::SheetUnderTest(std::unique_ptr<Package> package, const std::string& sheet)
    : package_(std::move(package)) {
  const Workbook wb = ReadWorkbook(*package_);
  strings_ = std::make_unique<SharedStrings>(*package_, wb.sst_part);
  styles_ = std::make_unique<Styles>(*package_, wb.styles_part);
  auto it = wb.sheets.find(sheet);
  EXPECT_NE(it, wb.sheets.end()) << sheet;
  data_ = std::make_unique<SheetData>(*package_, it == wb.sheets.end() ? "" : it->second, *strings_,
                                      *styles_, wb.date1904);
}

}  // namespace kastel::xlsx::testing
