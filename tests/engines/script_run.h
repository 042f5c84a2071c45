// Test support for the engine tests: a scratch folder per test, the fixture maker and the
// independent generator (both Python, run with Debian's interpreter, which has openpyxl), and
// the program kastel run as a separate process.
#ifndef KASTEL_TESTS_ENGINES_SCRIPT_RUN_H_
#define KASTEL_TESTS_ENGINES_SCRIPT_RUN_H_

#include <filesystem>
#include <string>
#include <vector>

namespace kastel::testing {

// A fresh folder under the system's temporary folder, removed with the object.
class ScratchDir {
 public:
  explicit ScratchDir(const std::string& tag);
  ~ScratchDir();
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  // path() / name, created as a folder.
  std::string Sub(const std::string& name) const;
  std::string File(const std::string& name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

struct RunResult {
  int status = -1;
  std::string out;
  std::string err;
};

// Runs `args` (quoted for the shell) with stdin from /dev/null.
RunResult RunProgram(const std::vector<std::string>& args);

// make_fixtures.py with `args`; fails the test when it does not succeed.
void MakeFixture(const std::vector<std::string>& args);
// reference_scripts.py WORKBOOK OUTDIR --encoding ENCODING.
RunResult Reference(const std::string& workbook, const std::string& outdir,
                    const std::string& encoding = "cp932");
// kastel with `args`, its configuration folder kept apart from the user's.
RunResult Kastel(const std::vector<std::string>& args);

std::string ReadFile(const std::string& path);

// The three script files of `dir`, in the order table, index, comment.
inline const std::vector<std::string> kScriptFiles = {"table.sql", "index.sql", "comment.sql"};

}  // namespace kastel::testing

#endif  // KASTEL_TESTS_ENGINES_SCRIPT_RUN_H_
