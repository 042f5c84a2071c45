#include "calc/document_events.h"

#include <com/sun/star/document/XDocumentEventBroadcaster.hpp>
#include <com/sun/star/document/XDocumentEventListener.hpp>
#include <com/sun/star/frame/theGlobalEventBroadcaster.hpp>
#include <cppuhelper/implbase1.hxx>

#include "calc/uno_text.h"

namespace kastel::calc {
namespace {

using css::uno::Reference;

class Forwarder final : public cppu::WeakImplHelper1<css::document::XDocumentEventListener> {
 public:
  explicit Forwarder(DocumentEventHandler handler) : handler_(std::move(handler)) {}
  void SAL_CALL documentEventOccured(const css::document::DocumentEvent& event) override {
    handler_(ToUtf8(event.EventName), event.Source);
  }
  void SAL_CALL disposing(const css::lang::EventObject&) override {}

 private:
  DocumentEventHandler handler_;
};

}  // namespace

Subscription ListenToDocumentEvents(const Reference<css::uno::XComponentContext>& context,
                                    DocumentEventHandler handler) {
  const Reference<css::document::XDocumentEventBroadcaster> broadcaster(
      css::frame::theGlobalEventBroadcaster::get(context), css::uno::UNO_QUERY);
  if (!broadcaster.is()) return Subscription();
  const Reference<css::document::XDocumentEventListener> listener(
      new Forwarder(std::move(handler)));
  broadcaster->addDocumentEventListener(listener);
  return Subscription([broadcaster, listener] {
    try {
      broadcaster->removeDocumentEventListener(listener);
    } catch (const css::uno::RuntimeException&) {
      // The office is gone, and its listeners with it.
    }
  });
}

}  // namespace kastel::calc
