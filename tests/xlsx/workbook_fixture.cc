#include "workbook_fixture.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

namespace kastel::xlsx::testing {
namespace {

const std::string& FixtureFolder() {
  static ScratchDir dir;
  static const bool written = [] {
    const std::string script = std::string(KASTEL_WORKBOOK_FIXTURES) + "/wb_make.py";
    return RunCommand(std::string(kPython) + " " + script + " '" + dir.path() + "'") == 0;
  }();
  EXPECT_TRUE(written) << "the fixture script failed";
  return dir.path();
}

}  // namespace

std::string Fixture(const std::string& name) { return FixtureFolder() + "/" + name; }

std::string CopyFixture(const std::string& name, const ScratchDir& dir) {
  const std::string target = dir / name;
  std::filesystem::copy_file(Fixture(name), target,
                             std::filesystem::copy_options::overwrite_existing);
  return target;
}

Facts ReadBack(const std::string& path) {
  const std::string command =
      std::string(kPython) + " " + KASTEL_WORKBOOK_FIXTURES + "/wb_dump.py '" + path + "'";
  Facts facts;
  std::istringstream lines(Capture(command));
  std::string line;
  while (std::getline(lines, line)) {
    auto tab = line.find('\t');
    if (tab != std::string::npos) facts[line.substr(0, tab)] = line.substr(tab + 1);
  }
  return facts;
}

Facts WithPrefix(const Facts& facts, const std::string& prefix) {
  Facts out;
  for (const auto& [k, v] : facts) {
    if (k.starts_with(prefix)) out[k] = v;
  }
  return out;
}

std::string DefaultTemplate() {
  const std::string path = std::string(KASTEL_BUILD_DATA_DIR) + "/テーブル定義書.xltx";
  return std::filesystem::exists(path) ? path : "";
}

}  // namespace kastel::xlsx::testing
