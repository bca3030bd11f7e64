#pragma once
// The top-most full-screen output window ("Lorvane"), and the widget both it
// and the main dialog's output area are: a native window the device presents
// into, or that paints the pictures handed over where it cannot.
#include <QImage>
#include <QWidget>
#include <functional>

#include "platform/gfx/device.h"

namespace app {

class OutputSurface : public QWidget {
 public:
  explicit OutputSurface(QWidget* parent = nullptr);
  gfx::NativeWindow Native() const;
  // Any thread: the picture to paint where no window surface is used.
  void ShowPicture(const gfx::PresentImage& image);
  // Where the device presents into the window itself, an uncovered part
  // shows whatever lay over it until the picture is presented again: this
  // is called then, on the user-interface thread.
  std::function<void()> onUncovered;

 protected:
  void paintEvent(QPaintEvent* event) override;
  QPaintEngine* paintEngine() const override;

 private:
  QImage picture_;
};

class OutputWindow final : public OutputSurface {
 public:
  struct Handlers {
    std::function<void(int key, bool autoRepeat)> keyDown;
    std::function<void(int key)> keyUp;
  };
  explicit OutputWindow(Handlers handlers);

 protected:
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;

 private:
  Handlers handlers_;
};

}  // namespace app
