// One run of the headless application for one command: the terminal shell, the application with
// its add-ins connected as registered, the workbook named on the command line, the button the
// command presses, and the save that follows when the command ran to its end.
#ifndef KASTEL_CLI_SESSION_H_
#define KASTEL_CLI_SESSION_H_

#include <chrono>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "addin/connect.h"
#include "cli/folder_lock.h"
#include "term/term_shell.h"
#include "xlsx/application.h"

namespace kastel::cli {

// Options every command that runs the application shares.
struct SessionOptions {
  bool force = false;                        // save even when a lock file says it is open
  std::optional<std::string> template_path;  // instead of KASTEL_TEMPLATE
  std::optional<std::string> output_folder;  // answers the folder dialog
};

class Session {
 public:
  // Starts the application and connects the add-ins registered to load at start-up (KASTEL
  // itself when nothing was ever registered). Problems are written to `err`; see ok().
  Session(const SessionOptions& options, std::ostream& out, std::ostream& err, std::istream& in);
  ~Session();
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  // False when the start-up already failed; the status is then in Status().
  bool ok() const { return !refused_; }

  term::TermShell& shell() { return shell_; }
  xlsx::XlsxApplication& app() { return app_; }
  // The KASTEL add-in, or null when it is not connected.
  addin::Connect* kastel() { return kastel_.get(); }

  // Opens the workbook at `path`: refuses (with a message, status 2) one that does not exist,
  // is not a file, is in the binary format, cannot be read, or, when `will_save` and not
  // forced, is open in a spreadsheet application. When `will_save`, first takes the lock of the
  // folder (see LockFolderOf). Null when refused.
  host::Workbook* OpenWorkbook(const std::string& path, bool will_save);
  // Refuses (status 2) to write over `path` or beside its lock file unless forced, or into a
  // missing folder; then takes the lock of the folder (see LockFolderOf).
  bool CheckNewFile(const std::string& path);
  // Presses the button reached by `captions` on the bar "KASTEL"; refuses (status 2) when the
  // bar or the button is missing or the button is disabled.
  bool Press(const std::vector<std::string>& captions);
  // Raises the before-save event and saves `wb` to `path`, both only when the command ran to its
  // end (failures it went past included) and no dialog was cancelled; a null `wb` (the command
  // never got that far) is not saved. Either way the last line on stderr says whether `path`
  // was saved. `summary`, what the command did, goes to stdout just before that line when the
  // workbook was saved. Call once, after everything else the command prints.
  void SaveIfRanToEnd(host::Workbook* wb, const std::string& path, const std::string& summary = "");

  // The exit status the run has earned so far.
  int Status() const;

 private:
  void ConnectRegisteredAddIns();
  void Refuse(const std::string& message);
  bool Save(host::Workbook& wb, const std::string& path);
  int StoppingFailures() const;
  // Waits (boundedly) until no other kastel saves into the folder of `path`, then removes what
  // killed saves left there. False, with a message and status 1, when the wait ran out.
  bool LockFolderOf(const std::string& path);
  // " 文書プロパティ X がありません。kastel adopt ..." for the active workbook when it lacks a
  // property that makes it a definition workbook; "" otherwise.
  std::string MissingPropertyHint();

  SessionOptions options_;
  std::ostream& out_;
  std::ostream& err_;
  term::TermShell shell_;
  xlsx::XlsxApplication app_;
  std::unique_ptr<addin::Connect> kastel_;
  bool connected_ = false;
  bool refused_ = false;
  bool save_failed_ = false;
  bool folder_busy_ = false;
  const std::chrono::system_clock::time_point started_ = std::chrono::system_clock::now();
  FolderLock folder_lock_;
};

}  // namespace kastel::cli

#endif  // KASTEL_CLI_SESSION_H_
