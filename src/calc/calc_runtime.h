// The add-in's life in one office process: the application and shell adapters, the add-in
// connected to them, the office's document events delivered to the application, and the
// commands of the bar "KASTEL" by their protocol-handler names.
//
// The office creates a protocol handler per frame; they all share this one runtime, made at
// the first use and kept until the process ends, as the add-in lives as long as its host.
#ifndef KASTEL_CALC_CALC_RUNTIME_H_
#define KASTEL_CALC_CALC_RUNTIME_H_

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <com/sun/star/frame/XFrame.hpp>
#include <com/sun/star/uno/XComponentContext.hpp>

namespace kastel::calc {

// The protocol of the bar's commands: "vnd.kastel:ScriptOut".
inline constexpr const char* kProtocol = "vnd.kastel:";

class Runtime {
 public:
  // The process's runtime, made (and the add-in connected) at the first call.
  static Runtime& Get(const css::uno::Reference<css::uno::XComponentContext>& context);

  // True when `command` (the part after the protocol) names a button of the bar.
  static bool Known(const std::string& command);

  // Tells the state listeners the button states for `frame`: the frame's document (or none) is
  // made the active workbook first, as using a window activates it. Done on the main thread,
  // so a listener asking from another thread hears the answer shortly after.
  void RequestStates(const css::uno::Reference<css::frame::XFrame>& frame);
  // How a press of a button ended; the dispatch result names it (OutcomeName).
  enum class Outcome { kDone, kDisabled, kCancelled, kFailed };
  static const char* OutcomeName(Outcome outcome);

  // Presses the button for `frame`'s document: kDisabled when it is disabled or unknown (nothing
  // ran), kCancelled when a dialog was cancelled, kFailed when failures were shown.
  Outcome Execute(const std::string& command, const css::uno::Reference<css::frame::XFrame>& frame);

  // Called with the button states whenever they may have changed (command, enabled), while
  // `frame`'s document is the active workbook: a window keeps the states it was last told,
  // which were its own document's.
  using StateListener = std::function<void(const std::string& command, bool enabled)>;
  int AddStateListener(const css::uno::Reference<css::frame::XFrame>& frame,
                       StateListener listener);
  void RemoveStateListener(int id);

  // Delivers one of the office's document events.
  void DocumentEvent(const std::string& event,
                     const css::uno::Reference<css::uno::XInterface>& document);

  ~Runtime();

 private:
  class Impl;
  explicit Runtime(const css::uno::Reference<css::uno::XComponentContext>& context);
  void Broadcast();

  std::unique_ptr<Impl> impl_;
};

}  // namespace kastel::calc

#endif  // KASTEL_CALC_CALC_RUNTIME_H_
