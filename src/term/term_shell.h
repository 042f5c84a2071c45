// The shell port for a terminal. Message boxes become lines of text (exclamations on the error
// stream, everything else on the output stream); the folder picker is answered from a given
// folder, by asking a person at the terminal, or with the folder the dialog would offer.
#ifndef KASTEL_TERM_TERM_SHELL_H_
#define KASTEL_TERM_TERM_SHELL_H_

#include <iosfwd>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "util/shell.h"

namespace kastel::term {

class TermShell final : public Shell {
 public:
  // `interactive`: a person answers dialogs on `in`, prompted on `err`. The streams must
  // outlive the shell.
  TermShell(std::ostream& out, std::ostream& err, std::istream& in, bool interactive);

  // Writes the prompt as the box shows it (CR LF as line breaks) and returns kMsgOk.
  int MessageBox(std::string_view prompt, int style, std::string_view title) override;
  // "kastel: 場所: PLACE" on the error stream.
  void ShowPlace(std::string_view place) override;
  // The folder given with SetFolderAnswer; else, interactively, the folder typed (an empty line
  // takes the offered one, end of input cancels); else the offered folder: `selected_path`, or
  // the current folder when that is empty.
  std::optional<std::string> BrowseForFolder(std::string_view description,
                                             std::string_view selected_path) override;
  // A value set with SetEnv, else the process environment.
  std::optional<std::string> GetEnv(std::string_view name) const override;
  std::string CurrentDirectory() const override;
  bool FileExists(std::string_view path) const override;
  // The build tree's share/kastel when the program runs from the build tree, else
  // <prefix>/share/kastel beside the program's bin folder.
  std::string ProgramDataFolder() const override;

  // Answers every folder dialog with `folder` (the -o option).
  void SetFolderAnswer(std::string folder) { folder_answer_ = std::move(folder); }
  // Makes GetEnv(name) give `value` whatever the process environment says.
  void SetEnv(std::string name, std::string value);
  // Records that the user cancelled a dialog; kept until the shell ends.
  void NoteCancelled() { cancelled_ = true; }
  bool cancelled() const { return cancelled_; }
  bool interactive() const { return interactive_; }

 private:
  std::ostream& out_;
  std::ostream& err_;
  std::istream& in_;
  bool interactive_;
  bool cancelled_ = false;
  std::optional<std::string> folder_answer_;
  std::map<std::string, std::string, std::less<>> env_;
};

}  // namespace kastel::term

#endif  // KASTEL_TERM_TERM_SHELL_H_
