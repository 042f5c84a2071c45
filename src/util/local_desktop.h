// What both shells, the terminal's and the office's, do in the same way: read the current folder,
// tell whether a file is there, and turn a prompt's line breaks into the line feeds a terminal,
// a log and the office's dialogs want.
#ifndef KASTEL_UTIL_LOCAL_DESKTOP_H_
#define KASTEL_UTIL_LOCAL_DESKTOP_H_

#include <string>
#include <string_view>

namespace kastel::local_desktop {

// The process's current folder; "/" when it cannot be told (it was removed, say).
std::string CurrentDirectory();
// Whether `path` names a regular file; a path that cannot be looked at counts as none.
bool FileExists(std::string_view path);
// `prompt` with CR LF and lone CR as line feeds.
std::string LineFeeds(std::string_view prompt);

}  // namespace kastel::local_desktop

#endif  // KASTEL_UTIL_LOCAL_DESKTOP_H_
