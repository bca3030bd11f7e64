#pragma once
#include <QEvent>

#include "platform/window/messages.h"

namespace window {

// A posted message on its way to the user-interface thread.
class MessageEvent final : public QEvent {
 public:
  MessageEvent(MessageId message, WParam w, LParam l)
      : QEvent(Type()), message(message), w(w), l(l) {}

  static QEvent::Type Type() {
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
  }

  const MessageId message;
  const WParam w;
  const LParam l;
};

}  // namespace window
