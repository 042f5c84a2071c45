// Helpers of the workbook-layer tests: the workbooks that openpyxl writes from fixtures/, once
// per test process.
#ifndef KASTEL_TESTS_XLSX_WORKBOOK_FIXTURE_H_
#define KASTEL_TESTS_XLSX_WORKBOOK_FIXTURE_H_

#include <sstream>
#include <string>

#include "package_fixture.h"
#include "xlsx/application.h"

namespace kastel::xlsx::testing {

// The path of a fixture workbook written by wb_make.py ("book.xlsx", "book.xltx", ...).
std::string Fixture(const std::string& name);
// Copies a fixture into `dir` and returns the copy's path, so a test may overwrite it.
std::string CopyFixture(const std::string& name, const ScratchDir& dir);

using kastel::testing::DumpBook;
using kastel::testing::Facts;
using kastel::testing::WithPrefix;

// An application whose status lines go to a string.
struct TestApp {
  std::ostringstream status;
  XlsxApplication app{status};
};

}  // namespace kastel::xlsx::testing

#endif  // KASTEL_TESTS_XLSX_WORKBOOK_FIXTURE_H_
