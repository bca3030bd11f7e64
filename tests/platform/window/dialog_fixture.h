#pragma once
// Runs a dialog from a template and hands it to the test once it is on the
// screen, so the test can work its controls like a user would.
#include <QApplication>
#include <QDialog>
#include <functional>
#include <vector>

#include "platform/window/dialog.h"
#include "platform/window/qt_window_handle.h"

struct SeenMessage {
  window::MessageId message;
  window::WParam w;
  window::LParam l;
};

class DialogFixture {
 public:
  static constexpr window::MessageId kShown = window::msg::kUser + 99;

  explicit DialogFixture(window::DialogTemplate layout) {
    layout.id = kTemplateId;
    templates_.Add(std::move(layout));
  }

  // `init` runs at kInitDialog; `shown` once the dialog runs its loop (then
  // the dialog ends with 0 unless `shown` ended it); `proc` sees every other
  // message first and its non-zero answer is returned.
  std::intptr_t Run(std::function<void(window::Dialog&)> init, std::function<void(window::Dialog&, QWidget*)> shown,
                    window::DialogProc proc = {}) {
    seen.clear();
    return window::RunModalDialog(
        templates_, kTemplateId, nullptr,
        [&](window::Dialog& dialog, window::MessageId message, window::WParam w, window::LParam l) -> std::intptr_t {
          if (message == window::msg::kInitDialog) {
            if (init) init(dialog);
            dialog.Post(kShown, 0, 0);
            return 1;
          }
          if (message == kShown) {
            if (shown) shown(dialog, window::WidgetOf(dialog.Handle()));
            dialog.End(0);
            return 1;
          }
          seen.push_back({message, w, l});
          return proc ? proc(dialog, message, w, l) : 0;
        });
  }

  template <typename W>
  static W* Child(QWidget* dialog, int id) {
    return dialog->findChild<W*>(QString::number(id));
  }

  std::vector<SeenMessage> seen;

 private:
  static constexpr int kTemplateId = 500;
  window::DialogTemplateSet templates_;
};
