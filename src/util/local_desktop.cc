#include "util/local_desktop.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace kastel::local_desktop {

std::optional<std::string> GetEnv(std::string_view name) {
  const char* value = std::getenv(std::string(name).c_str());
  if (value == nullptr) return std::nullopt;
  return std::string(value);
}

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
