#pragma once
// Keeps the program's prompts visible and answerable while one of its
// windows covers the screen from above all others (the full-screen output).
#include <QObject>
#include <QPointer>
#include <QWidget>

namespace window {

// While `covering` is shown, every modal window the program opens (message
// boxes, file and colour choosers, dialogs) is shown as a window of
// `covering`, which the window manager stacks above it. When the last of
// them has closed, whichever way, and `covering` is still shown, `covering`
// is activated and has the keyboard again. Lives on the user-interface
// thread, as a child of `covering`.
class PromptsAboveWindow final : public QObject {
 public:
  explicit PromptsAboveWindow(QWidget* covering);
  ~PromptsAboveWindow() override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void StackAbove(QWidget& prompt);
  void GiveBackKeys();

  QPointer<QWidget> covering_;
};

}  // namespace window
