// The real kastel program run the way a person at a terminal would, in a scratch folder that
// also holds its configuration and data folders and copies of the fixture workbooks.
#ifndef KASTEL_TESTS_CLI_CLI_FIXTURE_H_
#define KASTEL_TESTS_CLI_CLI_FIXTURE_H_

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "book_test_util.h"

namespace kastel::testing {

class CliTest : public ::testing::Test {
 protected:
  // Copies a fixture into the scratch folder; the path of the copy.
  std::string Copy(const std::string& fixture, const std::string& as = "") {
    const std::string to = scratch_ / (as.empty() ? fixture : as);
    std::filesystem::copy_file(Fixture(fixture), to,
                               std::filesystem::copy_options::overwrite_existing);
    return to;
  }
  // Runs kastel with `args` in the scratch folder; an empty value in env_ removes the variable.
  RunResult Run(const std::vector<std::string>& args) {
    std::vector<std::string> argv = {KASTEL_TEST_BINARY};
    argv.insert(argv.end(), args.begin(), args.end());
    std::map<std::string, std::string> env;
    for (const auto& [name, value] : env_) {
      if (!value.empty()) env[name] = value;
    }
    return RunProgram(argv, env, scratch_.path());
  }
  std::string RegistryFile() const { return scratch_ / "config/kastel/addins.reg"; }

  ScratchDir scratch_;
  std::map<std::string, std::string> env_ = {{"PATH", "/usr/bin:/bin"},
                                             {"HOME", scratch_.path()},
                                             {"XDG_CONFIG_HOME", scratch_ / "config"},
                                             {"XDG_DATA_HOME", scratch_ / "data"},
                                             {"KASTEL_TEMPLATE", KASTEL_TEST_TEMPLATE},
                                             {"LANG", "C.UTF-8"}};
};

// Checks a run's status and both streams at once.
inline void ExpectRun(const RunResult& r, int status, const std::string& out,
                      const std::string& err) {
  EXPECT_EQ(r.status, status) << "stdout: " << r.out << "\nstderr: " << r.err;
  EXPECT_EQ(r.out, out);
  EXPECT_EQ(r.err, err);
}

// The line a command that saves ends with.
inline std::string Saved(const std::string& file) { return "保存しました: " + file + "\n"; }
inline std::string NotSaved(const std::string& file) { return "保存していません: " + file + "\n"; }

}  // namespace kastel::testing

#endif  // KASTEL_TESTS_CLI_CLI_FIXTURE_H_
