// The workbook check: reads every definition sheet that the script output would write, with the
// same layout and the same rule for what a definition sheet is, and lists what the script would
// write wrong, each fault once at the cell that causes it. It changes nothing in the workbook
// and shows nothing; the caller prints the report.
#ifndef KASTEL_CHECK_WORKBOOK_CHECK_H_
#define KASTEL_CHECK_WORKBOOK_CHECK_H_

#include <optional>
#include <string>

#include "finding.h"
#include "host/host.h"
#include "model/defines.h"
#include "sheet_check.h"
#include "util/shell.h"

namespace kastel::check {

struct CheckOptions {
  bool cp932 = true;               // the script files are written in CP932 (else UTF-8)
  bool oracle_long_names = false;  // Oracle names up to 128 bytes (release 12.2 and later)
};

// The check of one workbook, sheet by sheet, so that a command walking the sheets anyway (the
// script output) can check each while it is still parsed instead of reading them all again.
class WorkbookCheck {
 public:
  // Reads what the whole workbook is checked against: properties, layout, the type list.
  WorkbookCheck(host::Workbook& wb, const CheckOptions& options);
  WorkbookCheck(const WorkbookCheck&) = delete;
  WorkbookCheck& operator=(const WorkbookCheck&) = delete;

  // Checks the next sheet in tab order; `definition` tells whether the script output writes it.
  // Nothing happens when the layout could not be loaded. `read`, the column rows the script
  // output has just read from the sheet, spares reading them again; a cell among them that
  // holds an error value then goes unreported, which matters not, as the script reports it.
  void Sheet(host::Worksheet& ws, bool definition, engines::ColumnsRead* read = nullptr);
  // False when the workbook-level findings already end the check: the sheets need no reading.
  bool ready() const { return context_.has_value(); }
  // The findings so far.
  const Report& report() const { return report_; }

 private:
  // The check reads cells through the model's helpers, which report a cell error value in a
  // message box; the check reports it itself, at its cell, so those boxes go nowhere.
  class SilentShell final : public Shell {
   public:
    int MessageBox(std::string_view, int, std::string_view) override { return kMsgOk; }
    std::optional<std::string> BrowseForFolder(std::string_view, std::string_view) override {
      return std::nullopt;
    }
    std::optional<std::string> GetEnv(std::string_view) const override { return std::nullopt; }
    std::string CurrentDirectory() const override { return "/"; }
    bool FileExists(std::string_view) const override { return false; }
    std::string ProgramDataFolder() const override { return ""; }
  };

  SilentShell shell_;
  model::Defines defines_{shell_};
  std::optional<CheckContext> context_;  // none when the layout cannot be loaded
  Report report_;
};

// Checks `wb`. A workbook whose layout cannot be loaded gives one error and nothing more.
// Host failures while reading rise as kastel::Error.
Report CheckWorkbook(host::Workbook& wb, const CheckOptions& options);

// The document property that keeps `wb` from being a definition workbook to the commands: the
// mark "TEMPLATE" (absent or not "DB") or the first missing layout property; "" when none.
std::string MissingProperty(host::Workbook& wb);

}  // namespace kastel::check

#endif  // KASTEL_CHECK_WORKBOOK_CHECK_H_
