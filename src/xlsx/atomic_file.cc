#include "xlsx/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <string>

#include "xlsx/package_messages.h"

namespace kastel::xlsx {
namespace {

std::string Reason(int error) {
  switch (error) {
    case ENOENT:
    case ENOTDIR:
      return messages::FolderMissing();
    case EACCES:
    case EPERM:
    case EROFS:
      return messages::WriteDenied();
    case EISDIR:
      return messages::TargetIsFolder();
    case ENOSPC:
    case EDQUOT:
      return messages::DiskFull();
    default:
      return messages::WriteFailed(error);
  }
}

// The mode a new file gets from open(2) with 0666, which mkstemp's 0600 would not give.
mode_t NewFileMode() {
  mode_t mask = umask(0);
  umask(mask);
  return 0666 & ~mask;
}

// The file a path ends at: a link is followed so that the link itself survives the rename.
std::string FinalTarget(const std::string& path) {
  struct stat st;
  if (lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
  char resolved[PATH_MAX];
  if (realpath(path.c_str(), resolved) == nullptr) return path;
  return resolved;
}

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    ssize_t n = write(fd, bytes.data(), bytes.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

// Makes the rename itself durable; a failure here loses nothing already written.
void SyncFolder(const std::string& folder) {
  int fd = open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  fsync(fd);
  close(fd);
}

}  // namespace

void ReplaceFile(const std::string& path, std::string_view bytes) {
  const std::string target = FinalTarget(path);
  struct stat old;
  bool exists = stat(target.c_str(), &old) == 0;
  if (exists && S_ISDIR(old.st_mode)) throw messages::SaveFailure(path, Reason(EISDIR));
  // A device or a pipe at the target would be replaced by a plain file: refuse.
  if (exists && !S_ISREG(old.st_mode)) {
    throw messages::SaveFailure(path, messages::TargetNotAFile());
  }

  std::size_t slash = target.find_last_of('/');
  std::string folder = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
  // A fixed short name: the target's own name may already be as long as a name can be.
  std::string temp = folder + ".kastel-save-XXXXXX";
  int fd = mkstemp(temp.data());
  if (fd < 0) throw messages::SaveFailure(path, Reason(errno));

  mode_t mode = exists ? (old.st_mode & 07777) : NewFileMode();
  if (exists) {
    // Keeps the owner when an administrator saves someone else's file; ordinary users cannot
    // give files away, and for them the file simply stays theirs.
    [[maybe_unused]] int ignored = fchown(fd, old.st_uid, old.st_gid);
  }
  bool ok = fchmod(fd, mode) == 0 && WriteAll(fd, bytes) && fsync(fd) == 0;
  int error = errno;
  if (close(fd) != 0 && ok) {
    ok = false;
    error = errno;
  }
  if (ok && rename(temp.c_str(), target.c_str()) != 0) {
    ok = false;
    error = errno;
  }
  if (!ok) {
    unlink(temp.c_str());
    throw messages::SaveFailure(path, Reason(error));
  }
  SyncFolder(folder);
}

}  // namespace kastel::xlsx
