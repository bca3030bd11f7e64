#pragma once
// A small window with a caption, a line of text and a progress bar, centred
// over the main dialog while a long file operation runs on the
// user-interface thread. The user cannot close it; its owner updates it and
// closes it when the work is done.
#include <QWidget>
#include <memory>

class QLabel;
class QProgressBar;

namespace ui {

class ProgressWindow {
 public:
  ProgressWindow() = default;
  ~ProgressWindow() { Close(); }
  ProgressWindow(const ProgressWindow&) = delete;
  ProgressWindow& operator=(const ProgressWindow&) = delete;

  // Shows the window over `mainDialog`, `verticalOffset` pixels below its
  // centre.
  void Open(QWidget* mainDialog, const QString& caption, int verticalOffset = 0);
  // Bar position in 0..100.
  void SetPosition(int percent);
  void SetText(const QString& text);
  void Close();

  bool IsOpen() const { return window_ != nullptr; }
  QWidget* Window() const { return window_.get(); }
  // How many progress windows are open in the program.
  static int OpenCount();

 private:
  std::unique_ptr<QWidget> window_;
  QLabel* text_ = nullptr;
  QProgressBar* bar_ = nullptr;
};

}  // namespace ui
