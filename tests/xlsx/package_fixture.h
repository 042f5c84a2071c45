// Zips for the xlsx tests: built on the spot with libzip, and read back entry by entry as they
// are stored.
#ifndef KASTEL_TESTS_XLSX_PACKAGE_FIXTURE_H_
#define KASTEL_TESTS_XLSX_PACKAGE_FIXTURE_H_

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "base/error.h"
#include "support.h"

namespace kastel::xlsx::testing {

struct ZipEntry {
  std::string name;
  std::string bytes;
  bool stored = false;  // method 0 instead of deflate
};

// A zip built by libzip from `entries`, in their order.
std::string BuildZip(const std::vector<ZipEntry>& entries);
// The entries of a small but complete workbook: content types, package and workbook
// relationships, workbook, one sheet.
std::vector<ZipEntry> MinimalWorkbook();

// One entry as stored: compressed bytes, method and CRC, read without inflating.
struct RawEntry {
  std::string compressed;
  std::uint16_t method = 0;
  std::uint32_t crc = 0;
  bool operator==(const RawEntry&) const = default;
};
std::vector<std::pair<std::string, RawEntry>> RawEntries(const std::string& zip_path);

using kastel::testing::ConvertWithLibreOffice;
using kastel::testing::ExpectError;
using kastel::testing::kPython;
using kastel::testing::Python;
using kastel::testing::ReadFile;
using kastel::testing::ScratchDir;
using kastel::testing::WriteFile;

}  // namespace kastel::xlsx::testing

#endif  // KASTEL_TESTS_XLSX_PACKAGE_FIXTURE_H_
