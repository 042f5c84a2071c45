// One saving kastel at a time per folder: an advisory lock (flock) on the folder a workbook is
// saved into. A lock on the folder, unlike one on the workbook file, survives the rename that
// replaces the workbook, and it also tells when a temporary file left in the folder cannot
// belong to a save still running.
#ifndef KASTEL_CLI_FOLDER_LOCK_H_
#define KASTEL_CLI_FOLDER_LOCK_H_

#include <chrono>
#include <functional>
#include <string>

namespace kastel::cli {

class FolderLock {
 public:
  enum class Result { kHeld, kBusy, kUnavailable };

  FolderLock() = default;
  // Releases the lock (closing the folder also does, on every way out of the process).
  ~FolderLock();
  FolderLock(const FolderLock&) = delete;
  FolderLock& operator=(const FolderLock&) = delete;

  // Locks the folder that `file` is saved into (the folder of the file a link points at).
  // While another process holds it, calls `waiting` once and tries again until `patience` has
  // passed: kBusy then. kUnavailable when the folder cannot be opened to lock (a folder the
  // user may not read); the save itself will tell what is wrong.
  Result Acquire(const std::string& file, std::chrono::milliseconds patience,
                 const std::function<void()>& waiting);

  // Under the lock: removes the temporary files of saves that were killed before they could
  // clean up, those older than `started`. Returns how many were removed.
  int RemoveStaleTemporaries(std::chrono::system_clock::time_point started) const;

 private:
  int fd_ = -1;
  std::string folder_;
};

}  // namespace kastel::cli

#endif  // KASTEL_CLI_FOLDER_LOCK_H_
