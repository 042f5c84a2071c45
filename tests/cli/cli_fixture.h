// A scratch folder with copies of the fixture workbooks, and kastel run against it.
#ifndef KASTEL_TESTS_CLI_CLI_FIXTURE_H_
#define KASTEL_TESTS_CLI_CLI_FIXTURE_H_

#include <gtest/gtest.h>

#include <string>

#include "book_test_util.h"
#include "run_kastel.h"

namespace kastel::testing {

class CliTest : public ::testing::Test {
 protected:
  // Copies a fixture into the scratch folder; the path of the copy.
  std::string Copy(const std::string& fixture, const std::string& as = "") {
    return scratch_.CopyFixture(fixture, as);
  }
  RunResult Run(const std::vector<std::string>& args) { return kastel_.Run(args, scratch_.path()); }

  ScratchDir scratch_;
  Kastel kastel_{scratch_.path().string()};
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
