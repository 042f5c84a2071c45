#include "calc/calc_runtime.h"

#include <sys/syscall.h>
#include <unistd.h>

#include <future>
#include <iostream>
#include <map>
#include <mutex>
#include <vector>

#include <com/sun/star/awt/AsyncCallback.hpp>
#include <com/sun/star/awt/XCallback.hpp>
#include <com/sun/star/frame/XController.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <cppuhelper/implbase1.hxx>
#include <rtl/ref.hxx>

#include "addin/connect.h"
#include "base/error.h"
#include "calc/calc_application.h"
#include "calc/calc_login_view.h"
#include "calc/calc_shell.h"
#include "calc/calc_workbook.h"
#include "calc/document_events.h"
#include "calc/uno_text.h"
#include "odbc/odbc_provider.h"

namespace kastel::calc {
namespace {

using css::uno::Reference;
using css::uno::UNO_QUERY;

constexpr int kConnectAtStartup = 1;

// The bar's buttons by command name: the captions that reach each one.
const std::map<std::string, std::vector<std::string>>& Commands() {
  static const auto* commands = new std::map<std::string, std::vector<std::string>>{
      {"AddnewSQL", {"新規作成", "SQL Server"}},
      {"AddnewORA", {"新規作成", "Oracle"}},
      {"AddSheet", {"シート追加"}},
      {"Refresh", {"テーブル一覧更新"}},
      {"ScriptOut", {"スクリプト出力"}},
      {"Reverse", {"リバースエンジニア"}},
      {"Template", {"テンプレート表示切替"}},
  };
  return *commands;
}

// The office's main thread, which runs its event loop, is the process's first thread.
bool OnMainThread() { return static_cast<pid_t>(syscall(SYS_gettid)) == getpid(); }

// Work handed to the main thread through the office's event loop.
class MainThreadCall final : public cppu::WeakImplHelper1<css::awt::XCallback> {
 public:
  explicit MainThreadCall(std::function<void()> work) : work_(std::move(work)) {}
  void SAL_CALL notify(const css::uno::Any&) override {
    try {
      work_();
    } catch (...) {
      // The add-in reports its own failures; nothing may leave through the event loop.
    }
    done_.set_value();
  }
  std::future<void> Done() { return done_.get_future(); }

 private:
  std::function<void()> work_;
  std::promise<void> done_;
};

// Runs `work` on the office's main thread: at once when called there, else through its event
// loop, waiting for the end when `wait`. A command called from another thread (a client over
// a socket) thus runs where a click would run it, and the document events it causes arrive
// on the same thread, inside it.
void RunOnMainThread(const Reference<css::uno::XComponentContext>& context,
                     std::function<void()> work, bool wait) {
  if (OnMainThread()) {
    work();
    return;
  }
  rtl::Reference<MainThreadCall> call(new MainThreadCall(std::move(work)));
  std::future<void> done = call->Done();
  css::awt::AsyncCallback::create(context)->addCallback(Reference<css::awt::XCallback>(call.get()),
                                                        css::uno::Any());
  if (wait) done.wait();
}

Reference<css::uno::XInterface> DocumentOf(const Reference<css::frame::XFrame>& frame) {
  if (!frame.is()) return nullptr;
  Reference<css::frame::XController> controller = frame->getController();
  if (!controller.is()) return nullptr;
  return Reference<css::uno::XInterface>(controller->getModel(), UNO_QUERY);
}

}  // namespace

class Runtime::Impl {
 public:
  explicit Impl(const Reference<css::uno::XComponentContext>& office)
      : context(office),
        app(office),
        shell(office, OfficeIsHeadless(), std::cerr),
        login_view(office, shell),
        kastel(shell) {}

  std::shared_ptr<host::CommandBarControl> Button(const std::string& command) {
    auto it = Commands().find(command);
    if (it == Commands().end()) return nullptr;
    try {
      std::shared_ptr<host::CommandBar> bar = app.Bars().Item(addin::kBarName);
      host::CommandBarControls* controls = &bar->Controls();
      std::shared_ptr<host::CommandBarControl> control;
      for (const std::string& caption : it->second) {
        if (control) controls = &control->Controls();
        control = controls->Item(caption);
      }
      return control;
    } catch (const Error&) {
      return nullptr;
    }
  }

  Reference<css::uno::XComponentContext> context;
  CalcApplication app;
  CalcShell shell;
  CalcLoginView login_view;
  odbc::OdbcProvider provider;
  addin::Connect kastel;
  Subscription events;
  struct Listener {
    Reference<css::frame::XFrame> frame;
    StateListener tell;
  };
  // Added from any thread, told on the main thread.
  std::mutex listeners_mutex;
  std::map<int, Listener> listeners;
  int next_listener = 0;
};

Runtime& Runtime::Get(const Reference<css::uno::XComponentContext>& context) {
  // Made once and never destroyed: the office unloads extension libraries only at its exit,
  // when the documents the adapters hold are gone already.
  static Runtime* runtime = new Runtime(context);
  return *runtime;
}

Runtime::Runtime(const Reference<css::uno::XComponentContext>& context)
    : impl_(std::make_unique<Impl>(context)) {
  engines::EngineContext& engines = impl_->kastel.engine_context();
  engines.provider = &impl_->provider;
  engines.login_view = &impl_->login_view;
  // The counts at the end of the import's status texts drive the progress indicator.
  engines.status_counts = true;
  impl_->kastel.OnConnection(impl_->app, kConnectAtStartup);
  impl_->events = ListenToDocumentEvents(
      context, [this](const std::string& event, const Reference<css::uno::XInterface>& document) {
        DocumentEvent(event, document);
      });
}

Runtime::~Runtime() = default;

bool Runtime::Known(const std::string& command) { return Commands().count(command) != 0; }

void Runtime::RequestStates(const Reference<css::frame::XFrame>& frame) {
  // Not waited for: the office asks while it loads a document for a client, on the client's
  // thread and holding the lock that the main thread would need first.
  RunOnMainThread(
      impl_->context,
      [this, frame] {
        impl_->app.Activate(DocumentOf(frame));
        Broadcast();
      },
      /*wait=*/false);
}

const char* Runtime::OutcomeName(Outcome outcome) {
  switch (outcome) {
    case Outcome::kDone:
      return "done";
    case Outcome::kDisabled:
      return "disabled";
    case Outcome::kCancelled:
      return "cancelled";
    case Outcome::kFailed:
      return "failed";
  }
  return "";
}

Runtime::Outcome Runtime::Execute(const std::string& command,
                                  const Reference<css::frame::XFrame>& frame) {
  if (!Known(command)) return Outcome::kDisabled;
  Outcome outcome = Outcome::kDisabled;
  RunOnMainThread(
      impl_->context,
      [&] {
        impl_->app.Activate(DocumentOf(frame));
        auto* button = dynamic_cast<xlsx::XlsxControl*>(impl_->Button(command).get());
        impl_->shell.ResetCancelled();
        const int failures = impl_->kastel.defines().failures_shown();
        // A disabled button cannot be pressed: Click refuses it. The add-in shows its own
        // failures; anything else must not reach the office, which would end with the user's
        // documents unsaved, so it ends the command as failed.
        bool pressed = false;
        try {
          pressed = button != nullptr && button->Click();
        } catch (...) {
          Broadcast();
          outcome = Outcome::kFailed;
          return;
        }
        Broadcast();
        if (!pressed) return;
        outcome = impl_->shell.cancelled()                               ? Outcome::kCancelled
                  : impl_->kastel.defines().failures_shown() != failures ? Outcome::kFailed
                                                                         : Outcome::kDone;
      },
      /*wait=*/true);
  return outcome;
}

int Runtime::AddStateListener(const Reference<css::frame::XFrame>& frame, StateListener listener) {
  std::lock_guard lock(impl_->listeners_mutex);
  const int id = impl_->next_listener++;
  impl_->listeners.emplace(id, Impl::Listener{frame, std::move(listener)});
  return id;
}

void Runtime::RemoveStateListener(int id) {
  std::lock_guard lock(impl_->listeners_mutex);
  impl_->listeners.erase(id);
}

void Runtime::DocumentEvent(const std::string& event,
                            const Reference<css::uno::XInterface>& document) {
  impl_->app.DocumentEvent(event, document);
  Broadcast();
}

void Runtime::Broadcast() {
  // A listener may remove itself while told; each is told from a copy.
  std::map<int, Impl::Listener> listeners;
  {
    std::lock_guard lock(impl_->listeners_mutex);
    listeners = impl_->listeners;
  }
  CalcWorkbook* active = impl_->app.active();
  const Reference<css::uno::XInterface> active_document(
      active != nullptr ? Reference<css::uno::XInterface>(active->document(), UNO_QUERY) : nullptr);
  for (const auto& [command, captions] : Commands()) {
    std::shared_ptr<host::CommandBarControl> button = impl_->Button(command);
    const bool enabled = button && button->Enabled();
    for (const auto& [id, listener] : listeners) {
      if (DocumentOf(listener.frame) == active_document) listener.tell(command, enabled);
    }
  }
}

}  // namespace kastel::calc
