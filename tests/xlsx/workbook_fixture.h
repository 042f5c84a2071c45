// Helpers of the workbook-layer tests: the workbooks that openpyxl writes from fixtures/ (once
// per test process) and what openpyxl reads back from a saved file.
#ifndef KASTEL_TESTS_XLSX_WORKBOOK_FIXTURE_H_
#define KASTEL_TESTS_XLSX_WORKBOOK_FIXTURE_H_

#include <map>
#include <sstream>
#include <string>

#include "package_fixture.h"
#include "xlsx/application.h"

namespace kastel::xlsx::testing {

// The path of a fixture workbook written by wb_make.py ("book.xlsx", "book.xltx", ...).
std::string Fixture(const std::string& name);
// Copies a fixture into `dir` and returns the copy's path, so a test may overwrite it.
std::string CopyFixture(const std::string& name, const ScratchDir& dir);

// Facts read back from a workbook by wb_dump.py: "cell:Sheet!A1" -> "str:text",
// "sheet:1" -> "name|state", "custom:NAME" -> "lpwstr|value|pid", ... (see the script).
using Facts = std::map<std::string, std::string>;
Facts ReadBack(const std::string& path);
// The facts whose key starts with `prefix`.
Facts WithPrefix(const Facts& facts, const std::string& prefix);

// The default template built by the build tree, or "" when it has not been built.
std::string DefaultTemplate();

// An application whose status lines go to a string.
struct TestApp {
  std::ostringstream status;
  XlsxApplication app{status};
};

}  // namespace kastel::xlsx::testing

#endif  // KASTEL_TESTS_XLSX_WORKBOOK_FIXTURE_H_
