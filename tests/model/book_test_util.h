// Real workbooks for tests: the fixtures written by other programs, a scratch folder to save
// into, and a reader that shows a saved workbook as another program (openpyxl) sees it.
#ifndef KASTEL_TESTS_MODEL_BOOK_TEST_UTIL_H_
#define KASTEL_TESTS_MODEL_BOOK_TEST_UTIL_H_

#include <filesystem>
#include <map>
#include <string>

namespace kastel::testing {

// A fixture workbook by file name ("three_sheets.xlsx"; "lo/three_sheets.xlsx" for the copy
// LibreOffice wrote).
std::string Fixture(const std::string& name);

// A fresh folder, removed with everything in it when the object ends.
class ScratchDir {
 public:
  ScratchDir();
  ~ScratchDir();
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;
  const std::filesystem::path& path() const { return path_; }
  // The path of `name` inside the folder.
  std::string operator/(const std::string& name) const { return (path_ / name).string(); }
  // Copies the fixture `name` into the folder and returns the copy's path.
  std::string CopyFixture(const std::string& name, const std::string& as = "") const;

 private:
  std::filesystem::path path_;
};

// What openpyxl reads from the workbook at `path`, one fact per key:
//   "sheet 2" -> "visible 顧客", "cell 1!C5" -> "CUSTOMER", "link テーブル一覧!C5" -> "'1'!A1",
//   "print 1" -> "$B$3:$V$37", "name DATA_TYPE" -> "'@LIST'!$B$2:$B$28", "prop DB" -> "SQL".
// Fails the calling test (and gives nothing) when the reader cannot read the file.
std::map<std::string, std::string> DumpBook(const std::string& path);

// The value of `key` in `dump`, or "<none>" when absent.
std::string Get(const std::map<std::string, std::string>& dump, const std::string& key);

// The whole file's bytes.
std::string ReadFile(const std::string& path);

}  // namespace kastel::testing

#endif  // KASTEL_TESTS_MODEL_BOOK_TEST_UTIL_H_
