// The office's document events ("OnLoad", "OnFocus", "OnPrepareUnload", "OnSave", ...) of every
// document, passed to a function while the subscription lives.
#ifndef KASTEL_CALC_DOCUMENT_EVENTS_H_
#define KASTEL_CALC_DOCUMENT_EVENTS_H_

#include <functional>
#include <string>

#include <com/sun/star/uno/XComponentContext.hpp>

#include "base/subscription.h"

namespace kastel::calc {

using DocumentEventHandler = std::function<void(
    const std::string& event, const css::uno::Reference<css::uno::XInterface>& document)>;

// The handler is called on the thread that causes the event.
Subscription ListenToDocumentEvents(const css::uno::Reference<css::uno::XComponentContext>& context,
                                    DocumentEventHandler handler);

}  // namespace kastel::calc

#endif  // KASTEL_CALC_DOCUMENT_EVENTS_H_
