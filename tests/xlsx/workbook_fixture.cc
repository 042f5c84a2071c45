#include "workbook_fixture.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace kastel::xlsx::testing {
namespace {

const std::string& FixtureFolder() {
  static ScratchDir dir;
  static const std::string path = [] {
    Python({KASTEL_WORKBOOK_FIXTURES "/wb_make.py", dir.path()});
    return dir.path().string();
  }();
  return path;
}

}  // namespace

std::string Fixture(const std::string& name) { return FixtureFolder() + "/" + name; }

std::string CopyFixture(const std::string& name, const ScratchDir& dir) {
  const std::string target = dir / name;
  std::filesystem::copy_file(Fixture(name), target,
                             std::filesystem::copy_options::overwrite_existing);
  return target;
}

}  // namespace kastel::xlsx::testing
