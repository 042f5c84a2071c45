// The shell port: what the system asks of the desktop it runs on. Message boxes, the folder
// picker, environment variables, the current folder, a file-existence search and the folder of
// the program's own files. The terminal adapter lives in src/term; a host's GUI dialogs can
// stand in for it later.
#ifndef KASTEL_UTIL_SHELL_H_
#define KASTEL_UTIL_SHELL_H_

#include <optional>
#include <string>
#include <string_view>

namespace kastel {

// Message-box style codes, as the VB runtime numbers them.
inline constexpr int kMsgExclamation = 48;  // vbExclamation + vbOKOnly
inline constexpr int kMsgInformation = 64;  // vbInformation + vbOKOnly
inline constexpr int kMsgOk = 1;            // the code of the OK button

class Shell {
 public:
  virtual ~Shell() = default;

  // Shows a modal message box and returns the code of the button pressed (kMsgOk).
  virtual int MessageBox(std::string_view prompt, int style, std::string_view title) = 0;

  // Tells where the failure just shown happened ("BOOK シート「2」 テーブル EMP H8"). A shell
  // whose message boxes a person reads in front of the workbook may leave it out.
  virtual void ShowPlace(std::string_view /*place*/) {}

  // Asks for a folder with `description` as the prompt and `selected_path` selected at first;
  // the chosen folder, or nothing when the user cancelled.
  virtual std::optional<std::string> BrowseForFolder(std::string_view description,
                                                     std::string_view selected_path) = 0;

  // The value of an environment variable, or nothing when it is not set.
  virtual std::optional<std::string> GetEnv(std::string_view name) const = 0;

  // The process's current folder.
  virtual std::string CurrentDirectory() const = 0;

  // True when `path` names an existing regular file (Dir(path, vbNormal) <> "").
  virtual bool FileExists(std::string_view path) const = 0;

  // The folder that holds the program's own files (the add-in's library folder).
  virtual std::string ProgramDataFolder() const = 0;
};

}  // namespace kastel

#endif  // KASTEL_UTIL_SHELL_H_
