// Replacing a file on disk so that readers see either the old or the new content, never a
// mixture: the bytes go to a temporary file in the same folder, which is renamed over the
// target only when written and flushed completely.
#ifndef KASTEL_XLSX_ATOMIC_FILE_H_
#define KASTEL_XLSX_ATOMIC_FILE_H_

#include <sys/stat.h>

#include <ctime>
#include <optional>
#include <string>
#include <string_view>

namespace kastel::xlsx {

// What tells one version of a file from the next: a save by another program replaces the file
// (a new inode) or rewrites it (a new size or modification time).
struct FileIdentity {
  dev_t device = 0;
  ino_t inode = 0;
  off_t size = 0;
  timespec modified{};

  static FileIdentity Of(const struct stat& st);
  bool operator==(const FileIdentity& other) const;
};

// Writes `bytes` to `path`. An existing file keeps its permission bits; a symbolic link keeps
// pointing at the file, which is replaced. A file the user may not write is refused, as is,
// when `expected` is given, a file that is no longer that version just before the rename. On
// failure (a signal that ends the program included) the old file is untouched, no temporary
// file is left behind, and a kastel::Error (a save failure naming `path`) is thrown. Returns
// the identity of the file written.
FileIdentity ReplaceFile(const std::string& path, std::string_view bytes,
                         const std::optional<FileIdentity>& expected = std::nullopt);

// The prefix of the temporary files ReplaceFile makes beside the target.
inline constexpr std::string_view kTempPrefix = ".kastel-save-";

}  // namespace kastel::xlsx

#endif  // KASTEL_XLSX_ATOMIC_FILE_H_
