#include "util/local_desktop.h"

#include <filesystem>
#include <system_error>

namespace kastel::local_desktop {

std::string CurrentDirectory() {
  std::error_code ec;
  std::filesystem::path cwd = std::filesystem::current_path(ec);
  return ec ? std::string("/") : cwd.string();
}

bool FileExists(std::string_view path) {
  std::error_code ec;
  return std::filesystem::is_regular_file(std::filesystem::path(path), ec);
}

}  // namespace kastel::local_desktop
