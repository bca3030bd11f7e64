#pragma once
// The display switch: halts the performance, releases everything made on the
// device, makes a new device for the windowed or the full-screen output,
// tells the host object, and gives back work buffers, capture surfaces and
// the channel banks.
#include <atomic>
#include <functional>

#include "display/d3d.h"

namespace lv {

class DisplayEnvironment;
class DisplayHost;
class Performer;
class WorkBufferTable;

inline constexpr const char* kDisplayErrorCaption = "OpenGL Startup Problem";
// The message of a failed device creation (D3D::InitResult).
const char* DisplayErrorText(int code);

class DisplaySwitch {
 public:
  DisplaySwitch(D3D& d3d, Performer& performer, WorkBufferTable& workBuffers, DisplayHost& host,
                DisplayEnvironment& environment)
      : d3d_(d3d), performer_(performer), workBuffers_(workBuffers), host_(host), environment_(environment) {}

  // On the user-interface thread. False when no device could be made (the
  // environment was told to end the program). A render thread that does not
  // answer refuses the switch: the display stays as it is (true).
  bool SetDisplay(bool fullScreen);
  bool IsFullScreen() const { return fullScreen_; }

  // From the start of the program's shutdown on, no device or display is
  // made again: SetDisplay does nothing and answers false (a window closed
  // on the way out may still ask for one).
  void EndSwitching() { ended_ = true; }
  // Runs when no device at all can be made, before the environment is told
  // to end the program: what the performer keeps is written there.
  void SetBeforeFatalError(std::function<void()> before) { beforeFatalError_ = std::move(before); }

  // The full-screen request of the current performance: its display
  // settings, adapter 0 when its adapter is not present.
  DisplayRequest FullScreenRequest() const;

 private:
  bool Rebuild(bool fullScreen);

  D3D& d3d_;
  Performer& performer_;
  WorkBufferTable& workBuffers_;
  DisplayHost& host_;
  DisplayEnvironment& environment_;
  bool fullScreen_ = false;
  std::atomic<bool> ended_{false};
  std::function<void()> beforeFatalError_;
};

}  // namespace lv
