#include "cli/lock_file.h"

#include <string>
#include <system_error>

namespace kastel::cli {
namespace {

// Drops the first `count` characters of a UTF-8 text, whole characters only.
std::string DropCharacters(const std::string& text, int count) {
  std::size_t i = 0;
  for (int n = 0; n < count && i < text.size(); ++n) {
    ++i;
    while (i < text.size() && (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) ++i;
  }
  return text.substr(i);
}

}  // namespace

std::optional<std::filesystem::path> FindLockFile(const std::filesystem::path& workbook) {
  const std::filesystem::path folder = workbook.parent_path();
  const std::string name = workbook.filename().string();
  const std::string candidates[] = {
      "~$" + name,
      "~$" + DropCharacters(name, 2),
      ".~lock." + name + "#",
  };
  for (const std::string& candidate : candidates) {
    const std::filesystem::path lock = folder / candidate;
    std::error_code ec;
    if (std::filesystem::exists(lock, ec)) return lock;
  }
  return std::nullopt;
}

}  // namespace kastel::cli
