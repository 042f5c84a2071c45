// The headless spreadsheet application: the host port implemented over workbook files on disk.
//
// Besides the port (host::Application), it offers what a person at the spreadsheet would do and
// what the program `kastel` drives: open, save and close workbooks, connect add-ins, press the
// buttons of command bars. None of this is part of the port; the core never sees it.
#ifndef KASTEL_XLSX_APPLICATION_H_
#define KASTEL_XLSX_APPLICATION_H_

#include <iosfwd>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "host/host.h"
#include "xlsx/package.h"

namespace kastel::xlsx {

class XlsxApplication final : public host::Application {
 public:
  // Status bar texts become progress lines on `status` (stderr in `kastel`).
  explicit XlsxApplication(std::ostream& status, PackageLimits limits = PackageLimits());
  ~XlsxApplication() override;
  XlsxApplication(const XlsxApplication&) = delete;
  XlsxApplication& operator=(const XlsxApplication&) = delete;

  // ---- host::Application ----
  host::Workbook* ActiveWorkbook() override;
  host::Workbook& AddWorkbook(std::string_view template_path) override;
  bool ScreenUpdating() const override;
  void SetScreenUpdating(bool on) override;
  void SetStatusBar(std::string_view text) override;
  void ResetStatusBar() override;
  host::CommandBars& Bars() override;
  Subscription SubscribeWorkbookEvents(host::WorkbookEvents& sink) override;

  // ---- what a person or `kastel` does ----
  // Opens a .xlsx, .xlsm, .xltx or .xltm file (a template opens as itself, not as a copy);
  // it becomes the active workbook and WorkbookActivate is raised. Throws kastel::Error
  // (kFileFormatError) with a Japanese description when the file cannot be read.
  host::Workbook& Open(const std::string& path);
  // Raises WorkbookBeforeSave(wb, false, cancel); false when a handler cancelled the save.
  bool RaiseBeforeSave(host::Workbook& wb);
  // Writes `wb` to `path` (no event): atomic; a workbook made from or opened as a template is
  // written as a workbook (.xlsx, or .xlsm when it carries macros) with the matching content
  // type. `path` defaults to the file it was opened from (a template is never overwritten).
  void SaveAs(host::Workbook& wb, const std::string& path);
  // The file `wb` was opened from ("" for a new workbook from a template).
  std::string PathOf(host::Workbook& wb);
  // Raises WorkbookBeforeClose; unless cancelled, closes `wb` (unsaved changes are dropped),
  // then the next open workbook, if any, becomes active and WorkbookActivate is raised with it
  // (or with null). Returns false when a handler cancelled.
  bool Close(host::Workbook& wb);

  // Add-ins: OnConnection(this, connect mode 0 = after start-up... as given), then
  // OnStartupComplete; Disconnect calls OnDisconnection(remove_mode) on every connected add-in
  // and forgets them.
  void ConnectAddIn(host::AddIn& addin, int connect_mode);
  void DisconnectAddIns(int remove_mode);

  // All command bars, in the order they were added.
  std::vector<std::shared_ptr<host::CommandBar>> AllBars();
  // Raises the Click event of a button; false (and nothing raised) when the control is not an
  // enabled, visible button, or was deleted.
  bool Press(host::CommandBarControl& button);

 private:
  class Impl;
  std::unique_ptr<Impl> impl_;
};

// Finds a control under `bar` by captions, e.g. {"新規作成", "SQL Server"}; null when absent.
std::shared_ptr<host::CommandBarControl> FindControl(host::CommandBar& bar,
                                                     const std::vector<std::string>& captions);

}  // namespace kastel::xlsx

#endif  // KASTEL_XLSX_APPLICATION_H_
