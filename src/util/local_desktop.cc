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

std::string LineFeeds(std::string_view prompt) {
  std::string text;
  text.reserve(prompt.size());
  for (std::size_t i = 0; i < prompt.size(); ++i) {
    if (prompt[i] == '\r') {
      text += '\n';
      if (i + 1 < prompt.size() && prompt[i + 1] == '\n') ++i;
    } else {
      text += prompt[i];
    }
  }
  return text;
}

}  // namespace kastel::local_desktop
