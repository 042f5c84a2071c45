#include "book_test_util.h"

#include <gtest/gtest.h>
#include <stdio.h>
#include <unistd.h>

#include <atomic>
#include <fstream>
#include <sstream>

namespace kastel::testing {

std::string Fixture(const std::string& name) {
  return std::string(KASTEL_TEST_FIXTURES) + "/" + name;
}

ScratchDir::ScratchDir() {
  static std::atomic<int> counter{0};
  path_ = std::filesystem::temp_directory_path() /
          ("kastel-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
  std::filesystem::remove_all(path_);
  std::filesystem::create_directories(path_);
}

ScratchDir::~ScratchDir() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

std::string ScratchDir::CopyFixture(const std::string& name, const std::string& as) const {
  const std::filesystem::path from = Fixture(name);
  const std::filesystem::path to = path_ / (as.empty() ? from.filename().string() : as);
  std::filesystem::copy_file(from, to, std::filesystem::copy_options::overwrite_existing);
  return to.string();
}

std::map<std::string, std::string> DumpBook(const std::string& path) {
  std::map<std::string, std::string> dump;
  const std::string command =
      std::string(KASTEL_TEST_PYTHON) + " '" + KASTEL_TEST_DUMP_SCRIPT + "' '" + path + "' 2>&1";
  FILE* pipe = ::popen(command.c_str(), "r");
  if (pipe == nullptr) {
    ADD_FAILURE() << "cannot run " << command;
    return dump;
  }
  std::string text;
  char buffer[4096];
  while (std::size_t n = fread(buffer, 1, sizeof buffer, pipe)) text.append(buffer, n);
  if (::pclose(pipe) != 0) {
    ADD_FAILURE() << "openpyxl cannot read " << path << ":\n" << text;
    return dump;
  }
  std::istringstream lines(text);
  std::string line;
  while (std::getline(lines, line)) {
    const std::size_t first = line.find(' ');
    if (first == std::string::npos) continue;
    // A cell's sheet name may hold blanks ("template (2)"); its address ends the key.
    const std::size_t bang = line.find('!', first);
    const bool addressed = line.starts_with("cell ") || line.starts_with("link ");
    const std::size_t second =
        line.find(' ', addressed && bang != std::string::npos ? bang : first + 1);
    if (second == std::string::npos) {
      dump[line] = "";
    } else {
      dump[line.substr(0, second)] = line.substr(second + 1);
    }
  }
  return dump;
}

std::string Get(const std::map<std::string, std::string>& dump, const std::string& key) {
  auto it = dump.find(key);
  return it == dump.end() ? "<none>" : it->second;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

}  // namespace kastel::testing
