// The engine tests' programs: the fixture maker and the independent generator (Python, run with
// Debian's interpreter, which has openpyxl), and kastel run as a separate process.
#ifndef KASTEL_TESTS_ENGINES_SCRIPT_RUN_H_
#define KASTEL_TESTS_ENGINES_SCRIPT_RUN_H_

#include <string>
#include <vector>

#include "support.h"

namespace kastel::testing {

// make_fixtures.py with `args`; fails the test when it does not succeed.
inline void MakeFixture(const std::vector<std::string>& args) {
  std::vector<std::string> command = {KASTEL_ENGINES_TEST_DIR "/make_fixtures.py"};
  command.insert(command.end(), args.begin(), args.end());
  Python(command);
}
// reference_scripts.py WORKBOOK OUTDIR --encoding ENCODING.
inline RunResult Reference(const std::string& workbook, const std::string& outdir,
                           const std::string& encoding = "cp932") {
  return RunProgram({kPython, KASTEL_ENGINES_TEST_DIR "/reference_scripts.py", workbook, outdir,
                     "--encoding", encoding});
}
// kastel with `args`, its configuration folder kept apart from the user's.
inline RunResult Kastel(const std::vector<std::string>& args) {
  static const ScratchDir config;
  std::vector<std::string> command = {"env", "XDG_CONFIG_HOME=" + config.path().string(),
                                      KASTEL_BIN};
  command.insert(command.end(), args.begin(), args.end());
  return RunProgram(command);
}

// The three script files of a folder, in the order table, index, comment.
inline const std::vector<std::string> kScriptFiles = {"table.sql", "index.sql", "comment.sql"};

}  // namespace kastel::testing

#endif  // KASTEL_TESTS_ENGINES_SCRIPT_RUN_H_
