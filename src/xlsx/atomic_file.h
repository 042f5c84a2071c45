// Replacing a file on disk so that readers see either the old or the new content, never a
// mixture: the bytes go to a temporary file in the same folder, which is renamed over the
// target only when written and flushed completely.
#ifndef KASTEL_XLSX_ATOMIC_FILE_H_
#define KASTEL_XLSX_ATOMIC_FILE_H_

#include <string>
#include <string_view>

namespace kastel::xlsx {

// Writes `bytes` to `path`. An existing file keeps its permission bits; a symbolic link keeps
// pointing at the file, which is replaced. On failure the old file is untouched, no temporary
// file is left behind, and a kastel::Error (a save failure naming `path`) is thrown.
void ReplaceFile(const std::string& path, std::string_view bytes);

}  // namespace kastel::xlsx

#endif  // KASTEL_XLSX_ATOMIC_FILE_H_
