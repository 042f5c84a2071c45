#include "script_run.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>

namespace kastel::testing {
namespace fs = std::filesystem;

namespace {

std::string Quote(const std::string& arg) {
  std::string q = "'";
  for (char c : arg) {
    if (c == '\'') {
      q += "'\\''";
    } else {
      q += c;
    }
  }
  return q + "'";
}

// Where the child processes keep their configuration: never the user's own.
const fs::path& ConfigHome() {
  static const ScratchDir home("config");
  return home.path();
}

}  // namespace

ScratchDir::ScratchDir(const std::string& tag) {
  path_ = fs::temp_directory_path() /
          ("kastel-engines-" + tag + "-" + std::to_string(std::random_device{}()));
  fs::remove_all(path_);
  fs::create_directories(path_);
}

ScratchDir::~ScratchDir() {
  std::error_code ec;
  fs::remove_all(path_, ec);
}

std::string ScratchDir::Sub(const std::string& name) const {
  fs::create_directories(path_ / name);
  return (path_ / name).string();
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

RunResult RunProgram(const std::vector<std::string>& args) {
  static int serial = 0;
  const fs::path base =
      fs::temp_directory_path() /
      ("kastel-engines-run-" + std::to_string(::getpid()) + "-" + std::to_string(++serial));
  std::string command;
  for (const std::string& a : args) command += Quote(a) + " ";
  command += "</dev/null >" + Quote(base.string() + ".out") + " 2>" + Quote(base.string() + ".err");
  const int raw = std::system(command.c_str());
  RunResult r;
  r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  r.out = ReadFile(base.string() + ".out");
  r.err = ReadFile(base.string() + ".err");
  fs::remove(base.string() + ".out");
  fs::remove(base.string() + ".err");
  return r;
}

void MakeFixture(const std::vector<std::string>& args) {
  std::vector<std::string> cmd = {"/usr/bin/python3", KASTEL_ENGINES_TEST_DIR "/make_fixtures.py"};
  cmd.insert(cmd.end(), args.begin(), args.end());
  const RunResult r = RunProgram(cmd);
  ASSERT_EQ(r.status, 0) << r.err;
}

RunResult Reference(const std::string& workbook, const std::string& outdir,
                    const std::string& encoding) {
  return RunProgram({"/usr/bin/python3", KASTEL_ENGINES_TEST_DIR "/reference_scripts.py", workbook,
                     outdir, "--encoding", encoding});
}

RunResult Kastel(const std::vector<std::string>& args) {
  std::vector<std::string> cmd = {"env", "XDG_CONFIG_HOME=" + ConfigHome().string(), KASTEL_BIN};
  cmd.insert(cmd.end(), args.begin(), args.end());
  return RunProgram(cmd);
}

}  // namespace kastel::testing
