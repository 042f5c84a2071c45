#include "term/term_shell.h"

#include <unistd.h>

#include <filesystem>
#include <istream>
#include <ostream>
#include <string>
#include <system_error>

#include "base/process_env.h"
#include "util/local_desktop.h"

namespace kastel::term {
namespace {

constexpr int kIconMask = 0x70;
constexpr int kIconCritical = 16;

std::filesystem::path ProgramPath() {
  std::error_code ec;
  std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::filesystem::path() : exe;
}

bool IsUnder(const std::filesystem::path& path, const std::filesystem::path& root) {
  auto p = path.begin();
  for (auto r = root.begin(); r != root.end(); ++r, ++p) {
    if (r->empty()) continue;  // a trailing separator
    if (p == path.end() || *p != *r) return false;
  }
  return true;
}

}  // namespace

TermShell::TermShell(std::ostream& out, std::ostream& err, std::istream& in, bool interactive)
    : out_(out), err_(err), in_(in), interactive_(interactive) {}

int TermShell::MessageBox(std::string_view prompt, int style, std::string_view /*title*/) {
  const int icon = style & kIconMask;
  std::ostream& to = (icon == kMsgExclamation || icon == kIconCritical) ? err_ : out_;
  to << local_desktop::LineFeeds(prompt) << '\n';
  to.flush();
  return kMsgOk;
}

void TermShell::ShowPlace(std::string_view place) {
  err_ << "kastel: 場所: " << local_desktop::LineFeeds(place) << '\n';
  err_.flush();
}

std::optional<std::string> TermShell::BrowseForFolder(std::string_view description,
                                                      std::string_view selected_path) {
  if (folder_answer_) return folder_answer_;
  const std::string offered =
      selected_path.empty() ? CurrentDirectory() : std::string(selected_path);
  if (!interactive_) return offered;
  err_ << local_desktop::LineFeeds(description) << '\n';
  for (;;) {
    err_ << "フォルダ [" << offered << "]: ";
    err_.flush();
    std::string line;
    if (!std::getline(in_, line)) {
      err_ << '\n';
      NoteCancelled();
      return std::nullopt;
    }
    if (line.empty()) return offered;
    // A shell would have expanded it; a person typing at this prompt expects the same.
    if (line == "~" || line.starts_with("~/")) line = GetEnv("HOME").value_or("") + line.substr(1);
    std::error_code ec;
    if (std::filesystem::is_directory(line, ec)) return line;
    err_ << "フォルダ '" << line << "' はありません。作りますか? [y/N]: ";
    err_.flush();
    std::string yes;
    if (!std::getline(in_, yes)) {
      err_ << '\n';
      NoteCancelled();
      return std::nullopt;
    }
    if (yes == "y" || yes == "Y" || yes == "yes") {
      std::filesystem::create_directories(line, ec);
      if (!ec) return line;
      err_ << "フォルダ '" << line << "' を作れません: " << ec.message() << '\n';
    }
  }
}

std::optional<std::string> TermShell::GetEnv(std::string_view name) const {
  if (auto it = env_.find(name); it != env_.end()) return it->second;
  return ProcessEnv(name);
}

void TermShell::SetEnv(std::string name, std::string value) {
  env_[std::move(name)] = std::move(value);
}

std::string TermShell::CurrentDirectory() const { return local_desktop::CurrentDirectory(); }

bool TermShell::FileExists(std::string_view path) const { return local_desktop::FileExists(path); }

std::string TermShell::ProgramDataFolder() const {
  const std::filesystem::path exe = ProgramPath();
  if (!exe.empty() && IsUnder(exe, KASTEL_BUILD_ROOT)) return KASTEL_BUILD_DATA_DIR;
  if (exe.empty()) return KASTEL_INSTALL_DATA_DIR;
  return (exe.parent_path().parent_path() / "share" / "kastel").string();
}

}  // namespace kastel::term
