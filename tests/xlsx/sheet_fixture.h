// Helpers of the cell-layer tests: the workbooks that openpyxl writes from fixtures/, and one
// worksheet of a package opened with its shared strings and styles.
#ifndef KASTEL_TESTS_XLSX_SHEET_FIXTURE_H_
#define KASTEL_TESTS_XLSX_SHEET_FIXTURE_H_

#include <memory>
#include <string>

#include "support.h"
#include "xlsx/package.h"
#include "xlsx/shared_strings.h"
#include "xlsx/sheet_data.h"
#include "xlsx/styles.h"

namespace kastel::xlsx::testing {

// The folder holding cells.xlsx and cells1904.xlsx, written once per test process.
const std::string& FixtureDir();

// A worksheet of a package, by its name in workbook.xml, with the workbook's shared strings,
// styles and date system.
class SheetUnderTest {
 public:
  SheetUnderTest(const std::string& path, const std::string& sheet,
                 const PackageLimits& limits = PackageLimits());
  SheetUnderTest(std::unique_ptr<Package> package, const std::string& sheet);
  SheetData& data() { return *data_; }
  Package& package() { return *package_; }
  // Saves the package (modified DOMs included) to `path`.
  void Save(const std::string& path) { package_->Save(path); }

 private:
  std::unique_ptr<Package> package_;
  std::unique_ptr<SharedStrings> strings_;
  std::unique_ptr<Styles> styles_;
  std::unique_ptr<SheetData> data_;
};

using kastel::testing::DumpBook;
using kastel::testing::Facts;
using kastel::testing::Get;
using kastel::testing::WithPrefix;

}  // namespace kastel::xlsx::testing

#endif  // KASTEL_TESTS_XLSX_SHEET_FIXTURE_H_
