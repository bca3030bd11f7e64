#pragma once
// The main control dialog: for now its output area (320 x 240) and the
// keyboard, which plays like the output window; its controls come later.
#include <QWidget>
#include <functional>

#include "output_window.h"

namespace app {

class MainDialog final : public QWidget {
 public:
  struct Handlers {
    std::function<void(int key, bool autoRepeat)> keyDown;
    std::function<void(int key)> keyUp;
    std::function<void()> closing;  // the program shuts down
  };
  explicit MainDialog(Handlers handlers);
  OutputSurface& OutputArea() { return *outputArea_; }

 protected:
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;

 private:
  Handlers handlers_;
  OutputSurface* outputArea_;
};

}  // namespace app
