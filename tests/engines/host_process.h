// One headless host process with KASTEL connected: the workbook host, the terminal shell on
// string streams (`typed` is what a person types at it), and the add-in's buttons pressed by
// their captions.
#ifndef KASTEL_TESTS_ENGINES_HOST_PROCESS_H_
#define KASTEL_TESTS_ENGINES_HOST_PROCESS_H_

#include <sstream>
#include <string>

#include "addin/connect.h"
#include "term/term_shell.h"
#include "xlsx/application.h"

namespace kastel::testing {

class HostProcess {
 public:
  HostProcess(const std::string& typed, bool interactive)
      : in_(typed), shell_(out_, err_, in_, interactive), app_(status_), kastel_(shell_) {
    app_.ConnectAddIn(kastel_, 1);
  }
  ~HostProcess() { app_.DisconnectAddIns(0); }
  HostProcess(const HostProcess&) = delete;
  HostProcess& operator=(const HostProcess&) = delete;

  // Presses the KASTEL button `caption`; false when it is missing, disabled or refused.
  bool Press(const std::string& caption) {
    auto button = xlsx::FindControl(*app_.Bars().Item("KASTEL"), {caption});
    return button != nullptr && button->Enabled() && app_.Press(*button);
  }

  term::TermShell& shell() { return shell_; }
  addin::Connect& kastel() { return kastel_; }
  xlsx::XlsxApplication& app() { return app_; }
  std::string out() const { return out_.str(); }
  std::string err() const { return err_.str(); }
  std::string status() const { return status_.str(); }

 protected:
  std::ostringstream out_, err_, status_;
  std::istringstream in_;
  term::TermShell shell_;
  xlsx::XlsxApplication app_;
  addin::Connect kastel_;
};

}  // namespace kastel::testing

#endif  // KASTEL_TESTS_ENGINES_HOST_PROCESS_H_
