#pragma once
// The program's capture devices: found once at start-up with their inputs
// and formats, started and stopped by the Options page and the project file,
// stopped around a display reset and started again after it.
// Used on the user-interface thread (with the render thread halted or under
// the frame lock when devices start or stop).
#include <memory>

#include "capture/capture_device.h"
#include "lv/list.h"
#include "platform/capture/video_device.h"

namespace builtin {

class CaptureManager {
 public:
  // A null system is a capture stack that could not be set up.
  CaptureManager(std::unique_ptr<capture::CaptureSystem> system, CaptureEnvironment env);
  ~CaptureManager() { Shutdown(); }
  CaptureManager(const CaptureManager&) = delete;
  CaptureManager& operator=(const CaptureManager&) = delete;

  // Start-up: logs and enumerates the devices.
  void Initialize();
  bool EnumerateDevices();
  bool ProbeDevice(CaptureDevice& device, capture::VideoDevice& filter);
  // Before a display reset: stops the running devices and marks them.
  void ReleaseDevices();
  // After it: starts the marked ones again.
  void RestoreDevices();
  // Before a project is read.
  void StopAll();
  // Deletes every device.
  void Shutdown();

  lv::List& Devices() { return devices_; }
  // The first device of that name (case of A-Z ignored); null when none.
  CaptureDevice* FindDevice(const char* name);

 private:
  std::unique_ptr<capture::CaptureSystem> system_;
  CaptureEnvironment env_;
  lv::List devices_;
};

}  // namespace builtin
