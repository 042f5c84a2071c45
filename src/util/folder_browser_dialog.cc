#include "util/folder_browser_dialog.h"

#include <optional>
#include <string>

namespace kastel {

bool FolderBrowserDialog::ShowDialog() {
  std::optional<std::string> chosen = shell_.BrowseForFolder(description_, selected_path_);
  if (!chosen) return false;
  // A picker hands back a fixed-size buffer on some platforms; only the text before the first
  // NUL is the path.
  selected_path_ = chosen->substr(0, chosen->find('\0'));
  return true;
}

}  // namespace kastel
