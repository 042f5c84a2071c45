// The fixture workbooks written by other programs for the model's, the add-in's and the
// command's tests.
#ifndef KASTEL_TESTS_MODEL_BOOK_TEST_UTIL_H_
#define KASTEL_TESTS_MODEL_BOOK_TEST_UTIL_H_

#include <string>

#include "support.h"

namespace kastel::testing {

// A fixture workbook by file name ("three_sheets.xlsx"; "lo/three_sheets.xlsx" for the copy
// LibreOffice wrote).
std::string Fixture(const std::string& name);

}  // namespace kastel::testing

#endif  // KASTEL_TESTS_MODEL_BOOK_TEST_UTIL_H_
