#pragma once
#include "platform/window/messages.h"

namespace window {

// Something that takes posted messages: a window of the user interface or a
// hub that forwards to one. Post may be called from any thread; delivery
// happens later, on the user-interface thread, in the order posted.
class MessageTarget {
 public:
  virtual ~MessageTarget() = default;
  virtual void Post(MessageId message, WParam w, LParam l) = 0;
};

}  // namespace window
