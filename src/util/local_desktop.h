// What both shells, the terminal's and the office's, read from the file system in the same way:
// the current folder and whether a file is there.
#ifndef KASTEL_UTIL_LOCAL_DESKTOP_H_
#define KASTEL_UTIL_LOCAL_DESKTOP_H_

#include <string>
#include <string_view>

namespace kastel::local_desktop {

// The process's current folder; "/" when it cannot be told (it was removed, say).
std::string CurrentDirectory();
// Whether `path` names a regular file; a path that cannot be looked at counts as none.
bool FileExists(std::string_view path);

}  // namespace kastel::local_desktop

#endif  // KASTEL_UTIL_LOCAL_DESKTOP_H_
