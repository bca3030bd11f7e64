#pragma once
#include <QCoreApplication>
#include <QEvent>
#include <mutex>

#include "platform/window/messages.h"

#if defined(__SANITIZE_THREAD__)
extern "C" void __tsan_acquire(void* address);
extern "C" void __tsan_release(void* address);
#endif

namespace window {

// Qt's event queue hands an event from the posting thread to the receiving
// one under a lock inside Qt, where ThreadSanitizer cannot see it; these
// tell it what that lock guarantees. They cost nothing in other builds.
inline void HandOverEvent([[maybe_unused]] QEvent* event) {
#if defined(__SANITIZE_THREAD__)
  __tsan_release(event);
#endif
}
inline void TakeOverEvent([[maybe_unused]] QEvent* event) {
#if defined(__SANITIZE_THREAD__)
  __tsan_acquire(event);
#endif
}

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

// Posts a message event to `receiver`, from any thread.
inline void PostMessageEvent(QObject* receiver, MessageId message, WParam w, LParam l) {
  auto* event = new MessageEvent(message, w, l);
  HandOverEvent(event);
#if defined(__SANITIZE_THREAD__)
  // Qt's own queue lock is invisible to ThreadSanitizer; posting threads
  // take one it can see, so two posters are not reported as racing.
  static std::mutex posting;
  std::lock_guard<std::mutex> lock(posting);
#endif
  QCoreApplication::postEvent(receiver, event);
}

}  // namespace window
