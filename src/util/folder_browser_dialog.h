// FolderBrowserDialog: asks the user for a folder through the shell's folder picker. The caller
// sets the prompt and the folder to start from, calls ShowDialog and, on true, reads the chosen
// folder back from SelectedPath.
#ifndef KASTEL_UTIL_FOLDER_BROWSER_DIALOG_H_
#define KASTEL_UTIL_FOLDER_BROWSER_DIALOG_H_

#include <string>
#include <string_view>

#include "util/shell.h"

namespace kastel {

class FolderBrowserDialog {
 public:
  // `shell` must outlive the dialog.
  explicit FolderBrowserDialog(Shell& shell) : shell_(shell) {}

  // The prompt shown above the folder choice.
  const std::string& Description() const { return description_; }
  void SetDescription(std::string_view value) { description_ = value; }

  // Kept and returned, with no effect on the dialog: the choice always starts from the whole
  // file system.
  const std::string& RootFolder() const { return root_folder_; }
  void SetRootFolder(std::string_view value) { root_folder_ = value; }

  // The folder offered when the dialog opens ("" offers none); after a confirmed dialog, the
  // chosen folder.
  const std::string& SelectedPath() const { return selected_path_; }
  void SetSelectedPath(std::string_view value) { selected_path_ = value; }

  // Kept and returned, with no effect on the dialog.
  bool ShowNewFolderButton() const { return show_new_folder_button_; }
  void SetShowNewFolderButton(bool value) { show_new_folder_button_ = value; }

  // Shows the dialog. True when the user confirmed a folder: SelectedPath then holds it, cut at
  // its first NUL character. False when cancelled: SelectedPath keeps its value. Failures of
  // the shell rise to the caller.
  bool ShowDialog();

 private:
  Shell& shell_;
  std::string description_;
  std::string root_folder_;
  std::string selected_path_;
  bool show_new_folder_button_ = false;
};

}  // namespace kastel

#endif  // KASTEL_UTIL_FOLDER_BROWSER_DIALOG_H_
