// The UNO component: a protocol handler for "vnd.kastel:" URLs, made by the office for each
// frame. It reports the bar's button states as dispatch states and presses a button for a
// dispatch; the add-in's own rules decide both.
#include <map>
#include <mutex>

#include <com/sun/star/frame/DispatchResultState.hpp>
#include <com/sun/star/frame/FeatureStateEvent.hpp>
#include <com/sun/star/frame/XDispatchProvider.hpp>
#include <com/sun/star/frame/XNotifyingDispatch.hpp>
#include <com/sun/star/lang/XInitialization.hpp>
#include <com/sun/star/lang/XServiceInfo.hpp>
#include <com/sun/star/util/URL.hpp>
#include <cppuhelper/implbase4.hxx>
#include <cppuhelper/supportsservice.hxx>

#include "calc/calc_runtime.h"
#include "calc/uno_text.h"

namespace kastel::calc {
namespace {

using css::uno::Reference;
using css::uno::Sequence;

constexpr const char* kImplementationName = "kastel.calc.ProtocolHandler";

std::string CommandOf(const css::util::URL& url) {
  const std::string complete = ToUtf8(url.Complete);
  const std::string protocol = kProtocol;
  if (complete.compare(0, protocol.size(), protocol) != 0) return {};
  return complete.substr(protocol.size());
}

class ProtocolHandler final
    : public cppu::WeakImplHelper4<css::frame::XDispatchProvider, css::frame::XNotifyingDispatch,
                                   css::lang::XInitialization, css::lang::XServiceInfo> {
 public:
  explicit ProtocolHandler(Reference<css::uno::XComponentContext> context)
      : context_(std::move(context)) {}

  ~ProtocolHandler() override {
    if (listener_id_ >= 0) Runtime::Get(context_).RemoveStateListener(listener_id_);
  }

  // XInitialization: the frame the handler serves.
  void SAL_CALL initialize(const Sequence<css::uno::Any>& args) override {
    if (args.getLength() > 0) args[0] >>= frame_;
  }

  // XDispatchProvider
  Reference<css::frame::XDispatch> SAL_CALL queryDispatch(const css::util::URL& url,
                                                          const rtl::OUString& /*target*/,
                                                          sal_Int32 /*flags*/) override {
    if (!Runtime::Known(CommandOf(url))) return nullptr;
    return this;
  }

  Sequence<Reference<css::frame::XDispatch>> SAL_CALL
  queryDispatches(const Sequence<css::frame::DispatchDescriptor>& requests) override {
    Sequence<Reference<css::frame::XDispatch>> result(requests.getLength());
    for (sal_Int32 i = 0; i < requests.getLength(); ++i) {
      result[i] =
          queryDispatch(requests[i].FeatureURL, requests[i].FrameName, requests[i].SearchFlags);
    }
    return result;
  }

  // XDispatch
  void SAL_CALL dispatch(const css::util::URL& url,
                         const Sequence<css::beans::PropertyValue>& /*args*/) override {
    Runtime::Get(context_).Execute(CommandOf(url), frame_);
  }

  void SAL_CALL dispatchWithNotification(
      const css::util::URL& url, const Sequence<css::beans::PropertyValue>& /*args*/,
      const Reference<css::frame::XDispatchResultListener>& listener) override {
    const Runtime::Outcome outcome = Runtime::Get(context_).Execute(CommandOf(url), frame_);
    if (listener.is()) {
      css::frame::DispatchResultEvent result;
      result.Source = static_cast<cppu::OWeakObject*>(this);
      result.State = outcome == Runtime::Outcome::kDone ? css::frame::DispatchResultState::SUCCESS
                                                        : css::frame::DispatchResultState::FAILURE;
      // Why it did not succeed: "disabled", "cancelled" or "failed" ("done" when it did).
      result.Result <<= rtl::OUString::createFromAscii(Runtime::OutcomeName(outcome));
      listener->dispatchFinished(result);
    }
  }

  void SAL_CALL addStatusListener(const Reference<css::frame::XStatusListener>& listener,
                                  const css::util::URL& url) override {
    if (!listener.is()) return;
    Runtime& runtime = Runtime::Get(context_);
    {
      std::lock_guard lock(mutex_);
      listeners_.emplace_back(listener, url);
      if (listener_id_ < 0) {
        listener_id_ = runtime.AddStateListener(
            frame_, [this](const std::string& command, bool enabled) { Tell(command, enabled); });
      }
    }
    // Asking for the state makes this frame's document the active one, which tells every
    // listener, this one included.
    runtime.RequestStates(frame_);
  }

  void SAL_CALL removeStatusListener(const Reference<css::frame::XStatusListener>& listener,
                                     const css::util::URL& url) override {
    std::lock_guard lock(mutex_);
    std::erase_if(listeners_, [&](const auto& entry) {
      return entry.first == listener && entry.second.Complete == url.Complete;
    });
  }

  // XServiceInfo
  rtl::OUString SAL_CALL getImplementationName() override {
    return rtl::OUString::createFromAscii(kImplementationName);
  }
  sal_Bool SAL_CALL supportsService(const rtl::OUString& name) override {
    return cppu::supportsService(this, name);
  }
  Sequence<rtl::OUString> SAL_CALL getSupportedServiceNames() override {
    Sequence<rtl::OUString> names(1);
    names[0] = "com.sun.star.frame.ProtocolHandler";
    return names;
  }

 private:
  void Tell(const std::string& command, bool enabled) {
    std::vector<std::pair<Reference<css::frame::XStatusListener>, css::util::URL>> listeners;
    {
      std::lock_guard lock(mutex_);
      listeners = listeners_;
    }
    for (const auto& [listener, url] : listeners) {
      if (CommandOf(url) != command) continue;
      css::frame::FeatureStateEvent event;
      event.Source = static_cast<cppu::OWeakObject*>(this);
      event.FeatureURL = url;
      event.IsEnabled = enabled;
      event.Requery = false;
      try {
        listener->statusChanged(event);
      } catch (const css::uno::RuntimeException&) {
        // A listener that has gone (a closed window) is simply not told.
      }
    }
  }

  Reference<css::uno::XComponentContext> context_;
  Reference<css::frame::XFrame> frame_;
  std::mutex mutex_;
  std::vector<std::pair<Reference<css::frame::XStatusListener>, css::util::URL>> listeners_;
  int listener_id_ = -1;
};

}  // namespace
}  // namespace kastel::calc

extern "C" SAL_DLLPUBLIC_EXPORT css::uno::XInterface*
kastel_calc_ProtocolHandler_get_implementation(css::uno::XComponentContext* context,
                                               const css::uno::Sequence<css::uno::Any>& /*args*/) {
  auto* handler = new kastel::calc::ProtocolHandler(context);
  handler->acquire();
  return static_cast<cppu::OWeakObject*>(handler);
}
