#pragma once
// Reading the colour on the screen under the mouse pointer: the pixel at a
// screen position, and the mouse captured for a window so that every move
// and the next click reach it wherever the pointer is.
#include <functional>
#include <memory>
#include <optional>

#include "platform/window/common_dialogs.h"
#include "platform/window/window_handle.h"

namespace window {

// The colour of the screen pixel at (x, y) of the desktop; nothing where the
// window system shows programs no screen pixels (Wayland, no display) or the
// point lies on no screen.
std::optional<ColourRef> ScreenPixel(int x, int y);

class MouseCapture {
 public:
  struct Handlers {
    std::function<void(int screenX, int screenY)> moved;
    std::function<void(int screenX, int screenY)> leftButtonDown;
    // The capture was taken away: the window was hidden or lost the
    // foreground. Nothing more arrives.
    std::function<void()> lost;
  };

  // Captures the mouse for `window` until Release or destruction. The
  // handlers run on the user-interface thread; they may release the capture.
  MouseCapture(WindowHandle window, Handlers handlers);
  ~MouseCapture();
  MouseCapture(const MouseCapture&) = delete;
  MouseCapture& operator=(const MouseCapture&) = delete;

  void Release();
  bool Active() const;

 private:
  class Filter;
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace window
