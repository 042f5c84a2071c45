#include "cli/folder_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <system_error>
#include <thread>

#include "xlsx/atomic_file.h"

namespace kastel::cli {
namespace {

namespace fs = std::filesystem;

std::string SaveFolderOf(const std::string& file) {
  std::error_code ec;
  fs::path target = fs::canonical(file, ec);
  if (ec) target = fs::absolute(file, ec);
  fs::path folder = target.parent_path();
  return folder.empty() ? "." : folder.string();
}

}  // namespace

FolderLock::~FolderLock() {
  if (fd_ >= 0) close(fd_);
}

FolderLock::Result FolderLock::Acquire(const std::string& file, std::chrono::milliseconds patience,
                                       const std::function<void()>& waiting) {
  folder_ = SaveFolderOf(file);
  fd_ = open(folder_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd_ < 0) return Result::kUnavailable;
  const auto deadline = std::chrono::steady_clock::now() + patience;
  bool told = false;
  while (flock(fd_, LOCK_EX | LOCK_NB) != 0) {
    if (errno != EWOULDBLOCK && errno != EINTR) return Result::kUnavailable;
    if (std::chrono::steady_clock::now() >= deadline) return Result::kBusy;
    if (!told && waiting) waiting();
    told = true;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return Result::kHeld;
}

int FolderLock::RemoveStaleTemporaries(std::chrono::system_clock::time_point started) const {
  if (fd_ < 0) return 0;
  int removed = 0;
  std::error_code ec;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder_, ec)) {
    const std::string name = entry.path().filename().string();
    if (!name.starts_with(xlsx::kTempPrefix)) continue;
    struct stat st;
    if (lstat(entry.path().c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
    const auto modified = std::chrono::system_clock::from_time_t(st.st_mtim.tv_sec);
    if (modified >= started) continue;
    if (unlink(entry.path().c_str()) == 0) ++removed;
  }
  return removed;
}

}  // namespace kastel::cli
