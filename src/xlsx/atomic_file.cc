#include "xlsx/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <string>

#include "base/signal_cleanup.h"
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
    case EFBIG:  // a file-size limit (ulimit -f) is as final as a full disk
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

bool StillTheSame(const std::string& target, const FileIdentity& expected) {
  struct stat st;
  return stat(target.c_str(), &st) == 0 && FileIdentity::Of(st) == expected;
}

}  // namespace

FileIdentity FileIdentity::Of(const struct stat& st) {
  return FileIdentity{st.st_dev, st.st_ino, st.st_size, st.st_mtim};
}

bool FileIdentity::operator==(const FileIdentity& other) const {
  return device == other.device && inode == other.inode && size == other.size &&
         modified.tv_sec == other.modified.tv_sec && modified.tv_nsec == other.modified.tv_nsec;
}

FileIdentity ReplaceFile(const std::string& path, std::string_view bytes,
                         const std::optional<FileIdentity>& expected) {
  const std::string target = FinalTarget(path);
  struct stat old;
  bool exists = stat(target.c_str(), &old) == 0;
  if (exists && S_ISDIR(old.st_mode)) throw messages::SaveFailure(path, Reason(EISDIR));
  // A device or a pipe at the target would be replaced by a plain file: refuse.
  if (exists && !S_ISREG(old.st_mode)) {
    throw messages::SaveFailure(path, messages::TargetNotAFile());
  }
  // The rename would ignore the file's own mode: a file its user may not write stays as it is,
  // as a spreadsheet application opens it read-only.
  if (exists && access(target.c_str(), W_OK) != 0 && errno == EACCES) {
    throw messages::SaveFailure(path, messages::ReadOnly());
  }

  std::size_t slash = target.find_last_of('/');
  std::string folder = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
  // A fixed short name: the target's own name may already be as long as a name can be.
  std::string temp = folder + std::string(kTempPrefix) + "XXXXXX";
  int fd = -1;
  signal_cleanup::Token cleanup = 0;
  {
    signal_cleanup::HoldSignals hold;
    fd = mkstemp(temp.data());
    if (fd >= 0) cleanup = signal_cleanup::UnlinkOnSignal(temp.c_str());
  }
  if (fd < 0) throw messages::SaveFailure(path, Reason(errno));

  mode_t mode = exists ? (old.st_mode & 07777) : NewFileMode();
  if (exists) {
    // Keeps the owner when an administrator saves someone else's file; ordinary users cannot
    // give files away, and for them the file simply stays theirs.
    [[maybe_unused]] int ignored = fchown(fd, old.st_uid, old.st_gid);
  }
  struct stat written {};
  bool ok =
      fchmod(fd, mode) == 0 && WriteAll(fd, bytes) && fsync(fd) == 0 && fstat(fd, &written) == 0;
  int error = errno;
  if (close(fd) != 0 && ok) {
    ok = false;
    error = errno;
  }
  // Another program's save between opening and now would be lost: checked as late as can be.
  const bool changed = ok && expected && !StillTheSame(target, *expected);
  if (ok && !changed && rename(temp.c_str(), target.c_str()) != 0) {
    ok = false;
    error = errno;
  }
  if (!ok || changed) {
    unlink(temp.c_str());
    signal_cleanup::Withdraw(cleanup);
    throw messages::SaveFailure(path, changed ? messages::ChangedByOther() : Reason(error));
  }
  signal_cleanup::Withdraw(cleanup);
  SyncFolder(folder);
  return FileIdentity::Of(written);
}

}  // namespace kastel::xlsx
