#pragma once
// Where the Performer posts its reports: one long-lived receiver whose
// handler runs on the user-interface thread. A modal dialog that wants the
// reports for a while (the note chooser) redirects them and gives them back,
// so nothing is ever posted to a window that may already be gone.
#include <functional>

#include "performer/message_window.h"
#include "platform/window/posted_message_target.h"

namespace ui {

class MessageHub final : public lv::MessageWindow {
 public:
  using Handler = std::function<void(uint32_t message, uintptr_t wParam, intptr_t lParam)>;

  MessageHub() {
    target_.SetHandler([this](window::MessageId message, window::WParam w, window::LParam l) {
      const Handler& handler = redirect_ ? redirect_ : main_;
      if (handler) handler(message, w, l);
    });
  }

  // Any thread.
  void Post(uint32_t message, uintptr_t wParam, intptr_t lParam) override { target_.Post(message, wParam, lParam); }

  // User-interface thread.
  void SetHandler(Handler handler) { main_ = std::move(handler); }
  void Redirect(Handler handler) { redirect_ = std::move(handler); }
  void EndRedirect() { redirect_ = nullptr; }

 private:
  Handler main_;
  Handler redirect_;
  window::PostedMessageTarget target_;
};

}  // namespace ui
