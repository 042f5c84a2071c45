#include "sheet_fixture.h"

#include <gtest/gtest.h>

#include <sstream>

#include "package_fixture.h"

namespace kastel::xlsx::testing {
namespace {

std::vector<std::string> SplitTabs(const std::string& line) {
  std::vector<std::string> fields;
  std::stringstream in(line);
  std::string field;
  while (std::getline(in, field, '\t')) fields.push_back(field);
  return fields;
}

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
  static const bool written = [] {
    const std::string script = std::string(KASTEL_SHEET_FIXTURES) + "/sheet_cells.py";
    return RunCommand(std::string(kPython) + " " + script + " " + dir.path()) == 0;
  }();
  EXPECT_TRUE(written) << "the fixture script failed";
  return dir.path();
}

SheetUnderTest::SheetUnderTest(const std::string& path, const std::string& sheet,
                               const PackageLimits& limits)
    : package_(Package::Open(path, limits)) {
  const Workbook wb = ReadWorkbook(*package_);
  strings_ = std::make_unique<SharedStrings>(*package_, wb.sst_part);
  styles_ = std::make_unique<Styles>(*package_, wb.styles_part);
  auto it = wb.sheets.find(sheet);
  EXPECT_NE(it, wb.sheets.end()) << sheet;
  data_ = std::make_unique<SheetData>(*package_, it == wb.sheets.end() ? "" : it->second, *strings_,
                                      *styles_, wb.date1904);
}

Dump DumpWithOpenpyxl(const std::string& path, const std::string& sheet) {
  const std::string script = std::string(KASTEL_SHEET_FIXTURES) + "/sheet_dump.py";
  std::stringstream out(
      Capture(std::string(kPython) + " " + script + " '" + path + "' '" + sheet + "'"));
  Dump dump;
  std::string line;
  while (std::getline(out, line)) {
    auto f = SplitTabs(line);
    if (f.size() == 5 && f[0] == "cell") dump.cells[f[1]] = {f[2], f[3], f[4]};
    if (f.size() == 4 && f[0] == "link") dump.links[f[1]] = {f[2], f[3]};
    if (f.size() == 3 && f[0] == "dv") dump.validations[f[1]] = f[2];
    if (f.size() == 3 && f[0] == "cf") dump.conditional_formats[f[1]] = f[2];
  }
  return dump;
}

}  // namespace kastel::xlsx::testing
