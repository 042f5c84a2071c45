// The office as the host application: its spreadsheet documents as workbooks, the active one,
// screen updating, the status bar, the add-in's command bars (held in memory; the protocol
// handler shows and presses them) and the workbook events from the office's document events.
//
// Commands run on the office's main thread (calc_runtime.h); the document events arrive on the
// thread that causes them, which then holds the office's own lock.
#ifndef KASTEL_CALC_CALC_APPLICATION_H_
#define KASTEL_CALC_CALC_APPLICATION_H_

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/task/XStatusIndicator.hpp>
#include <com/sun/star/uno/XComponentContext.hpp>

#include "host/host.h"
#include "xlsx/command_bars.h"

namespace kastel::calc {

class CalcWorkbook;

class CalcApplication final : public host::Application {
 public:
  explicit CalcApplication(css::uno::Reference<css::uno::XComponentContext> context);
  ~CalcApplication() override;
  CalcApplication(const CalcApplication&) = delete;
  CalcApplication& operator=(const CalcApplication&) = delete;

  // ---- host::Application ----
  host::Workbook* ActiveWorkbook() override;
  host::Workbook& AddWorkbook(std::string_view template_path) override;
  bool ScreenUpdating() const override { return screen_updating_; }
  void SetScreenUpdating(bool on) override;
  void SetStatusBar(std::string_view text) override;
  void ResetStatusBar() override;
  host::CommandBars& Bars() override { return bars_; }
  Subscription SubscribeWorkbookEvents(host::WorkbookEvents& sink) override;

  // ---- what the office tells ----
  // The workbook of a spreadsheet document, the same object while it is open; null for a
  // document of another kind or none.
  CalcWorkbook* WorkbookOf(const css::uno::Reference<css::uno::XInterface>& document);
  // Makes `document` (null: none) the active workbook, raising WorkbookActivate when that
  // changes which workbook is active.
  void Activate(const css::uno::Reference<css::uno::XInterface>& document);
  // One of the office's document events ("OnFocus", "OnSave", "OnUnload", ...).
  void DocumentEvent(const std::string& event,
                     const css::uno::Reference<css::uno::XInterface>& document);

  xlsx::XlsxCommandBars& bars() { return bars_; }
  // The workbook made active by the office's events or a command, or null.
  CalcWorkbook* active() const { return active_; }

 private:
  // The subscribers as they are when an event starts: one may unsubscribe while told.
  std::vector<host::WorkbookEvents*> Sinks() const { return sinks_; }

  css::uno::Reference<css::uno::XComponentContext> context_;
  std::map<css::uno::XInterface*, std::unique_ptr<CalcWorkbook>> workbooks_;
  std::vector<css::uno::Reference<css::uno::XInterface>> held_;
  CalcWorkbook* active_ = nullptr;
  bool screen_updating_ = true;
  css::uno::Reference<css::frame::XModel> locked_;
  css::uno::Reference<css::task::XStatusIndicator> status_;
  int status_range_ = 0;
  xlsx::XlsxCommandBars bars_;
  std::vector<host::WorkbookEvents*> sinks_;
};

}  // namespace kastel::calc

#endif  // KASTEL_CALC_CALC_APPLICATION_H_
