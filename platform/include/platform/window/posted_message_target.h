#pragma once
#include <functional>
#include <memory>

#include "platform/window/message_target.h"

namespace window {

// A long-lived receiver of posted messages. Threads that must never wait for
// the user interface (the render thread, device callbacks) post to it; the
// handler runs on the user-interface thread. The handler can be switched
// while the program runs (say to whichever dialog reports played notes),
// so nothing is ever posted to a window that may already be gone.
//
// Construct and destroy it on the user-interface thread; messages still
// queued when it is destroyed are dropped.
class PostedMessageTarget final : public MessageTarget {
 public:
  using Handler = std::function<void(MessageId, WParam, LParam)>;

  PostedMessageTarget();
  ~PostedMessageTarget() override;
  PostedMessageTarget(const PostedMessageTarget&) = delete;
  PostedMessageTarget& operator=(const PostedMessageTarget&) = delete;

  void Post(MessageId message, WParam w, LParam l) override;

  // User-interface thread only. An empty handler drops what arrives.
  void SetHandler(Handler handler);

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace window
