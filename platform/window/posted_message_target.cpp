#include "platform/window/posted_message_target.h"

#include <QObject>

#include "message_event.h"

namespace window {
namespace {

class Receiver final : public QObject {
 public:
  PostedMessageTarget::Handler handler;

  bool event(QEvent* event) override {
    TakeOverEvent(event);
    if (event->type() != MessageEvent::Type()) return QObject::event(event);
    const auto* posted = static_cast<const MessageEvent*>(event);
    if (handler) handler(posted->message, posted->w, posted->l);
    return true;
  }
};

}  // namespace

struct PostedMessageTarget::Impl {
  Receiver receiver;
};

PostedMessageTarget::PostedMessageTarget() : impl_(std::make_unique<Impl>()) {}
PostedMessageTarget::~PostedMessageTarget() = default;

void PostedMessageTarget::Post(MessageId message, WParam w, LParam l) {
  // Thread-safe: Qt queues the event for the receiver's thread.
  PostMessageEvent(&impl_->receiver, message, w, l);
}

void PostedMessageTarget::SetHandler(Handler handler) { impl_->receiver.handler = std::move(handler); }

}  // namespace window
