#include "xlsx/application.h"

#include <algorithm>
#include <map>
#include <optional>
#include <ostream>

#include <fmt/format.h>

#include "base/error.h"
#include "xlsx/command_bars.h"
#include "xlsx/workbook.h"
#include "xlsx/workbook_xml.h"

namespace kastel::xlsx {
namespace {

std::string FileName(std::string_view path) {
  auto slash = path.rfind('/');
  return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

std::string Stem(std::string_view path) {
  std::string file = FileName(path);
  auto dot = file.rfind('.');
  return dot == std::string::npos || dot == 0 ? file : file.substr(0, dot);
}

bool IsTemplatePath(std::string_view path) {
  std::string lower(path);
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return lower.ends_with(".xltx") || lower.ends_with(".xltm");
}

}  // namespace

class XlsxApplication::Impl {
 public:
  struct Open {
    std::unique_ptr<XlsxWorkbook> workbook;
    std::string path;          // "" for a new workbook from a template
    bool is_template = false;  // opened as a template: never written back over it
  };

  Impl(std::ostream& status_stream, PackageLimits package_limits)
      : status(status_stream),
        limits(package_limits),
        sinks(std::make_shared<std::map<int, host::WorkbookEvents*>>()) {}

  Open& Find(host::Workbook& wb) {
    for (auto& o : open) {
      if (o.workbook.get() == &wb) return o;
    }
    throw Error::Host("このブックは既に閉じられています。");
  }

  // Delivers an event to each sink subscribed now, skipping those gone meanwhile.
  template <typename F>
  void Raise(F&& deliver) {
    auto current = sinks;
    std::vector<int> ids;
    for (const auto& [id, sink] : *current) ids.push_back(id);
    for (int id : ids) {
      auto it = current->find(id);
      if (it != current->end()) deliver(*it->second);
    }
  }

  void Activate(XlsxWorkbook* wb) {
    active = wb;
    Raise([&](host::WorkbookEvents& sink) { sink.WorkbookActivate(wb); });
  }

  std::ostream& status;
  PackageLimits limits;
  std::vector<Open> open;
  XlsxWorkbook* active = nullptr;
  bool screen_updating = true;
  std::optional<std::string> status_text;
  XlsxCommandBars bars;
  std::shared_ptr<std::map<int, host::WorkbookEvents*>> sinks;
  int next_sink = 0;
  std::vector<host::AddIn*> addins;
  std::map<std::string, int> new_numbers;  // per template name: the last number given
};

XlsxApplication::XlsxApplication(std::ostream& status, PackageLimits limits)
    : impl_(std::make_unique<Impl>(status, limits)) {}

XlsxApplication::~XlsxApplication() = default;

host::Workbook* XlsxApplication::ActiveWorkbook() { return impl_->active; }

host::Workbook& XlsxApplication::AddWorkbook(std::string_view template_path) {
  const std::string path(template_path);
  auto package = Package::Open(path, impl_->limits);
  const std::string stem = Stem(path);
  const int number = ++impl_->new_numbers[stem];
  auto wb =
      std::make_unique<XlsxWorkbook>(*this, std::move(package), fmt::format("{}{}", stem, number));
  XlsxWorkbook& ref = *wb;
  impl_->open.push_back({std::move(wb), "", false});
  impl_->Activate(&ref);
  return ref;
}

bool XlsxApplication::ScreenUpdating() const { return impl_->screen_updating; }

void XlsxApplication::SetScreenUpdating(bool on) { impl_->screen_updating = on; }

void XlsxApplication::SetStatusBar(std::string_view text) {
  if (impl_->status_text && *impl_->status_text == text) return;
  impl_->status_text = std::string(text);
  impl_->status << text << '\n';
  impl_->status.flush();
}

void XlsxApplication::ResetStatusBar() { impl_->status_text.reset(); }

host::CommandBars& XlsxApplication::Bars() { return impl_->bars; }

Subscription XlsxApplication::SubscribeWorkbookEvents(host::WorkbookEvents& sink) {
  const int id = impl_->next_sink++;
  (*impl_->sinks)[id] = &sink;
  std::weak_ptr<std::map<int, host::WorkbookEvents*>> weak = impl_->sinks;
  return Subscription([weak, id] {
    if (auto sinks = weak.lock()) sinks->erase(id);
  });
}

host::Workbook& XlsxApplication::Open(const std::string& path) {
  for (auto& o : impl_->open) {
    if (o.path == path) {
      impl_->Activate(o.workbook.get());
      return *o.workbook;
    }
  }
  auto package = Package::Open(path, impl_->limits);
  auto wb = std::make_unique<XlsxWorkbook>(*this, std::move(package), FileName(path));
  XlsxWorkbook& ref = *wb;
  impl_->open.push_back({std::move(wb), path, IsTemplatePath(path)});
  impl_->Activate(&ref);
  return ref;
}

bool XlsxApplication::RaiseBeforeSave(host::Workbook& wb) {
  bool cancel = false;
  impl_->Raise([&](host::WorkbookEvents& sink) { sink.WorkbookBeforeSave(wb, false, cancel); });
  return !cancel;
}

void XlsxApplication::SaveAs(host::Workbook& wb, const std::string& path) {
  Impl::Open& o = impl_->Find(wb);
  std::string target = path.empty() ? o.path : path;
  if (target.empty() || (path.empty() && o.is_template)) {
    throw Error::Host(fmt::format("ブック'{}'の保存先のファイル名を指定してください。", wb.Name()));
  }
  o.workbook->Save(target);
  o.path = target;
  o.is_template = IsTemplatePath(target);
  o.workbook->set_name(FileName(target));
}

std::string XlsxApplication::PathOf(host::Workbook& wb) { return impl_->Find(wb).path; }

bool XlsxApplication::Close(host::Workbook& wb) {
  impl_->Find(wb);
  bool cancel = false;
  impl_->Raise([&](host::WorkbookEvents& sink) { sink.WorkbookBeforeClose(wb, cancel); });
  if (cancel) return false;
  auto& open = impl_->open;
  auto it = std::find_if(open.begin(), open.end(),
                         [&](const auto& o) { return o.workbook.get() == &wb; });
  if (it == open.end()) return true;  // a handler closed it meanwhile
  const bool was_active = impl_->active == it->workbook.get();
  std::unique_ptr<XlsxWorkbook> closing = std::move(it->workbook);
  open.erase(it);
  if (was_active) {
    impl_->Activate(open.empty() ? nullptr : open.back().workbook.get());
  }
  return true;
}

void XlsxApplication::ConnectAddIn(host::AddIn& addin, int connect_mode) {
  addin.OnConnection(*this, connect_mode);
  impl_->addins.push_back(&addin);
  addin.OnStartupComplete();
}

void XlsxApplication::DisconnectAddIns(int remove_mode) {
  std::vector<host::AddIn*> addins = std::move(impl_->addins);
  impl_->addins.clear();
  for (host::AddIn* addin : addins) {
    if (remove_mode == 0) addin->OnBeginShutdown();
    addin->OnDisconnection(remove_mode);
  }
}

std::vector<std::shared_ptr<host::CommandBar>> XlsxApplication::AllBars() {
  return impl_->bars.All();
}

bool XlsxApplication::Press(host::CommandBarControl& button) {
  auto* control = dynamic_cast<XlsxControl*>(&button);
  return control != nullptr && control->Click();
}

std::shared_ptr<host::CommandBarControl> FindControl(host::CommandBar& bar,
                                                     const std::vector<std::string>& captions) {
  try {
    host::CommandBarControls* controls = &bar.Controls();
    std::shared_ptr<host::CommandBarControl> found;
    for (std::size_t i = 0; i < captions.size(); ++i) {
      found = nullptr;
      for (int k = 1; k <= controls->Count(); ++k) {
        auto c = controls->Item(k);
        if (c->Caption() == captions[i]) {
          found = c;
          break;
        }
      }
      if (!found) return nullptr;
      if (i + 1 < captions.size()) {
        if (found->Type() != host::ControlType::kPopup) return nullptr;
        controls = &found->Controls();
      }
    }
    return found;
  } catch (const Error&) {
    return nullptr;  // a deleted bar holds nothing to find
  }
}

}  // namespace kastel::xlsx
