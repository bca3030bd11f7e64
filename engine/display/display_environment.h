#pragma once
// What a display switch asks of the windows and of the devices that hold
// surfaces of the graphics device (capture devices, samplers). The program's
// output windows implement it; tests record it.
#include "display/display_modes.h"
#include "platform/gfx/device.h"

namespace lv {

class DisplayEnvironment {
 public:
  virtual ~DisplayEnvironment() = default;
  // The top-most full-screen output window, and the windowed output (the
  // main dialog's output area, or the floating preview while it is shown).
  virtual gfx::NativeWindow FullScreenWindow() = 0;
  virtual gfx::NativeWindow WindowedOutput() = 0;
  // Shows the full-screen window over the request's screen, in front, with
  // the focus; or hides it again.
  virtual void ShowFullScreenWindow(const DisplayRequest& request) = 0;
  virtual void HideFullScreenWindow() = 0;
  virtual void ShowCursor(bool show) = 0;
  // Brings the main dialog to the front with the focus.
  virtual void ActivateMainDialog() = 0;

  // Stops running capture devices and drops the samplers' textures before the
  // device goes; restarts and restores them on the new one.
  virtual void ReleaseCaptureSurfaces() = 0;
  virtual void RestoreCaptureSurfaces() = 0;

  // The request matches no mode the screen lists, or no device could be made
  // for it and the previous display came back: tell the user once.
  virtual void ReportModeUnavailable(const DisplayRequest& request) = 0;
  // No device at all: show the message of the code and end the program with
  // a non-zero exit code. Returns only where the program cannot be ended
  // (tests).
  virtual void FatalDisplayError(int code) = 0;
};

}  // namespace lv
