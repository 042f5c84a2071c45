// Helpers shared by the xlsx tests: zips built on the spot with libzip, a scratch folder per
// test, running other programs (openpyxl, LibreOffice), and an assertion on a kastel::Error's
// number and text together.
#ifndef KASTEL_TESTS_XLSX_PACKAGE_FIXTURE_H_
#define KASTEL_TESTS_XLSX_PACKAGE_FIXTURE_H_

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "base/error.h"

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

std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& bytes);
// Debian's python3, which has openpyxl; the one first on PATH may not.
inline constexpr char kPython[] = "/usr/bin/python3";
// Runs a program; its exit status. Output goes to the test log.
int RunCommand(const std::string& command);
// Runs a program and returns what it printed; fails the test when it exits non-zero.
std::string Capture(const std::string& command);
// Converts `path` to .xlsx with LibreOffice into `out_dir`; the converted file's path, or ""
// when LibreOffice wrote nothing.
std::string ConvertWithLibreOffice(const std::string& path, const std::string& out_dir);

// One entry as stored: compressed bytes, method and CRC, read without inflating.
struct RawEntry {
  std::string compressed;
  std::uint16_t method = 0;
  std::uint32_t crc = 0;
  bool operator==(const RawEntry&) const = default;
};
std::vector<std::pair<std::string, RawEntry>> RawEntries(const std::string& zip_path);
// True when any header of the zip carries a ZIP64 extra field or a ZIP64 end record.
bool HasZip64(const std::string& zip_bytes);

// A folder of its own for one test, removed with everything in it at the end.
class ScratchDir {
 public:
  ScratchDir();
  ~ScratchDir();
  const std::string& path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }
  // Names of the files in the folder, sorted.
  std::vector<std::string> List() const;

 private:
  std::string path_;
};

// Fails the test unless `action` throws a kastel::Error with `number` and `description`.
void ExpectError(const std::function<void()>& action, long number, const std::string& description);

}  // namespace kastel::xlsx::testing

#endif  // KASTEL_TESTS_XLSX_PACKAGE_FIXTURE_H_
