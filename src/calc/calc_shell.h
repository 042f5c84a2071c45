// The shell port inside the office: message boxes and the folder picker as the office's own
// dialogs. An office without windows (started headless) cannot show them: its message boxes
// are written to the error stream, and the folder picker is answered from KASTEL_OUTPUT_FOLDER
// (without it the dialog counts as cancelled).
#ifndef KASTEL_CALC_CALC_SHELL_H_
#define KASTEL_CALC_CALC_SHELL_H_

#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>

#include <com/sun/star/uno/XComponentContext.hpp>

#include "util/shell.h"

namespace kastel::calc {

class CalcShell final : public Shell {
 public:
  // `headless`: the office shows no windows; messages then go to `log`, which must outlive
  // the shell.
  CalcShell(css::uno::Reference<css::uno::XComponentContext> context, bool headless,
            std::ostream& log);

  int MessageBox(std::string_view prompt, int style, std::string_view title) override;
  std::optional<std::string> BrowseForFolder(std::string_view description,
                                             std::string_view selected_path) override;
  std::optional<std::string> GetEnv(std::string_view name) const override;
  std::string CurrentDirectory() const override;
  bool FileExists(std::string_view path) const override;
  // The folder the extension was unpacked into, which holds the library and the template.
  std::string ProgramDataFolder() const override;

  bool headless() const { return headless_; }
  // True once a dialog was cancelled (or could not be answered) during the current command.
  bool cancelled() const { return cancelled_; }
  void ResetCancelled() { cancelled_ = false; }
  void NoteCancelled() { cancelled_ = true; }

 private:
  css::uno::Reference<css::uno::XComponentContext> context_;
  bool headless_;
  std::ostream& log_;
  bool cancelled_ = false;
};

// True when the office was started without windows (--headless).
bool OfficeIsHeadless();

}  // namespace kastel::calc

#endif  // KASTEL_CALC_CALC_SHELL_H_
