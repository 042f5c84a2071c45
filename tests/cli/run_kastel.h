// Runs the real kastel program the way a person at a terminal would, with an environment of
// the test's own (configuration, data and profile folders in a scratch folder).
#ifndef KASTEL_TESTS_CLI_RUN_KASTEL_H_
#define KASTEL_TESTS_CLI_RUN_KASTEL_H_

#include <map>
#include <string>
#include <vector>

namespace kastel::testing {

struct RunResult {
  int status = -1;
  std::string out;
  std::string err;
};

class Kastel {
 public:
  // `home` holds the configuration and data folders of the runs; the built default template is
  // chosen through KASTEL_TEMPLATE unless SetEnv changes it.
  explicit Kastel(const std::string& home);
  // Sets (or, with an empty value, removes) an environment variable for later runs.
  void SetEnv(const std::string& name, const std::string& value);
  // Runs kastel with `args` in the folder `cwd`, standard input empty.
  RunResult Run(const std::vector<std::string>& args, const std::string& cwd = "") const;
  // The registry file the runs use.
  std::string RegistryFile() const;

 private:
  std::string home_;
  std::map<std::string, std::string> env_;
};

}  // namespace kastel::testing

#endif  // KASTEL_TESTS_CLI_RUN_KASTEL_H_
