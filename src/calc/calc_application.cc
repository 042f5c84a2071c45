#include "calc/calc_application.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/document/XActionLockable.hpp>
#include <com/sun/star/frame/Desktop.hpp>
#include <com/sun/star/frame/XComponentLoader.hpp>
#include <com/sun/star/frame/XController.hpp>
#include <com/sun/star/frame/XFrame.hpp>
#include <com/sun/star/sheet/XSpreadsheetDocument.hpp>
#include <com/sun/star/task/XStatusIndicatorFactory.hpp>

#include "calc/calc_workbook.h"
#include "calc/uno_text.h"
#include "xlsx/package_messages.h"

namespace kastel::calc {
namespace {

using css::uno::Reference;
using css::uno::UNO_QUERY;
using css::uno::UNO_QUERY_THROW;

Reference<css::uno::XInterface> Identity(const Reference<css::uno::XInterface>& object) {
  return Reference<css::uno::XInterface>(object, UNO_QUERY);
}

}  // namespace

CalcApplication::CalcApplication(Reference<css::uno::XComponentContext> context)
    : context_(std::move(context)) {}

CalcApplication::~CalcApplication() = default;

CalcWorkbook* CalcApplication::WorkbookOf(const Reference<css::uno::XInterface>& document) {
  const Reference<css::uno::XInterface> key = Identity(document);
  if (!key.is()) return nullptr;
  if (auto it = workbooks_.find(key.get()); it != workbooks_.end()) return it->second.get();
  Reference<css::sheet::XSpreadsheetDocument> spreadsheet(key, UNO_QUERY);
  if (!spreadsheet.is()) return nullptr;
  held_.push_back(key);
  auto workbook = std::make_unique<CalcWorkbook>(*this, spreadsheet);
  CalcWorkbook* raw = workbook.get();
  workbooks_.emplace(key.get(), std::move(workbook));
  return raw;
}

host::Workbook* CalcApplication::ActiveWorkbook() {
  if (active_ != nullptr) return active_;
  Reference<css::frame::XDesktop2> desktop = css::frame::Desktop::create(context_);
  return WorkbookOf(desktop->getCurrentComponent());
}

void CalcApplication::Activate(const Reference<css::uno::XInterface>& document) {
  CalcWorkbook* workbook = WorkbookOf(document);
  if (workbook == active_) return;
  active_ = workbook;
  for (host::WorkbookEvents* sink : Sinks()) sink->WorkbookActivate(workbook);
}

void CalcApplication::DocumentEvent(const std::string& event,
                                    const Reference<css::uno::XInterface>& document) {
  if (event == "OnFocus" || event == "OnLoad" || event == "OnNew") {
    // A document of another kind leaves the active workbook as it is.
    if (WorkbookOf(document) != nullptr) Activate(document);
    return;
  }
  CalcWorkbook* workbook = WorkbookOf(document);
  if (workbook == nullptr) return;
  if (event == "OnPrepareUnload") {
    bool cancel = false;
    for (host::WorkbookEvents* sink : Sinks()) sink->WorkbookBeforeClose(*workbook, cancel);
  } else if (event == "OnSave" || event == "OnSaveAs" || event == "OnCopyTo") {
    bool cancel = false;
    for (host::WorkbookEvents* sink : Sinks()) {
      sink->WorkbookBeforeSave(*workbook, event != "OnSave", cancel);
    }
  } else if (event == "OnUnload") {
    if (active_ == workbook) active_ = nullptr;
    const Reference<css::uno::XInterface> key = Identity(document);
    workbooks_.erase(key.get());
    std::erase(held_, key);
  }
}

host::Workbook& CalcApplication::AddWorkbook(std::string_view template_path) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(std::filesystem::path(template_path), ec)) {
    throw xlsx::messages::OpenFailure(template_path, xlsx::messages::NotFound());
  }
  Reference<css::frame::XComponentLoader> loader(css::frame::Desktop::create(context_),
                                                 UNO_QUERY_THROW);
  css::uno::Sequence<css::beans::PropertyValue> args(1);
  args[0].Name = "AsTemplate";
  args[0].Value <<= true;
  Reference<css::lang::XComponent> document;
  try {
    document = loader->loadComponentFromURL(PathToUrl(template_path), "_blank", 0, args);
  } catch (const css::uno::Exception& e) {
    throw xlsx::messages::OpenFailure(template_path, ToUtf8(e.Message));
  }
  CalcWorkbook* workbook = WorkbookOf(document);
  if (workbook == nullptr) {
    throw xlsx::messages::OpenFailure(template_path, "スプレッドシートではありません。");
  }
  Activate(document);
  return *workbook;
}

void CalcApplication::SetScreenUpdating(bool on) {
  if (on == screen_updating_) return;
  screen_updating_ = on;
  if (!on) {
    // Redraw stops for the workbook being worked on; it is the one unlocked again.
    auto* workbook = static_cast<CalcWorkbook*>(ActiveWorkbook());
    if (workbook == nullptr) return;
    locked_ = workbook->model();
    locked_->lockControllers();
    Reference<css::document::XActionLockable> lockable(locked_, UNO_QUERY);
    if (lockable.is()) lockable->addActionLock();
    return;
  }
  if (!locked_.is()) return;
  Reference<css::document::XActionLockable> lockable(locked_, UNO_QUERY);
  if (lockable.is()) lockable->removeActionLock();
  locked_->unlockControllers();
  locked_.clear();
}

void CalcApplication::SetStatusBar(std::string_view text) {
  // An import's texts end with the tables done and their total, " (3/120)": they drive the
  // progress indicator beside the text.
  int done = -1;
  int total = 0;
  if (text.ends_with(')')) {
    const std::size_t open = text.rfind(" (");
    const std::size_t slash = text.rfind('/');
    if (open != std::string_view::npos && slash != std::string_view::npos && slash > open) {
      try {
        done = std::stoi(std::string(text.substr(open + 2, slash - open - 2)));
        total = std::stoi(std::string(text.substr(slash + 1, text.size() - slash - 2)));
      } catch (const std::exception&) {
        done = -1;
        total = 0;
      }
    }
  }
  if (status_.is() && total != status_range_) ResetStatusBar();
  if (!status_.is()) {
    host::Workbook* workbook = ActiveWorkbook();
    if (workbook == nullptr) return;
    Reference<css::frame::XController> controller =
        static_cast<CalcWorkbook*>(workbook)->model()->getCurrentController();
    if (!controller.is()) return;
    Reference<css::task::XStatusIndicatorFactory> factory(controller->getFrame(), UNO_QUERY);
    if (!factory.is()) return;
    status_ = factory->createStatusIndicator();
    status_range_ = total;
    status_->start(ToOUString(text), total);
  } else {
    status_->setText(ToOUString(text));
  }
  if (done >= 0) status_->setValue(done);
}

void CalcApplication::ResetStatusBar() {
  if (!status_.is()) return;
  status_->end();
  status_.clear();
}

Subscription CalcApplication::SubscribeWorkbookEvents(host::WorkbookEvents& sink) {
  sinks_.push_back(&sink);
  return Subscription([this, &sink] {
    if (auto it = std::find(sinks_.begin(), sinks_.end(), &sink); it != sinks_.end()) {
      sinks_.erase(it);
    }
  });
}

}  // namespace kastel::calc
