#pragma once
// The device lock: a recursive lock that owns the EGL context. The thread
// that enters it makes the context current; when it leaves for good the
// context is released, so another thread can take it. A frame (BeginScene to
// EndScene) holds the lock on the drawing thread throughout.
#include <mutex>
#include <thread>

namespace gfx {

class EglContext;

class DeviceLock {
 public:
  explicit DeviceLock(EglContext* context) : context_(context) {}

  void Enter();
  void Leave();
  // Keeps the lock for the calling thread until EndFrame; false when a frame is already held.
  bool BeginFrame();
  // False when the calling thread holds no frame.
  bool EndFrame();
  bool InFrame() const { return frameHeld_; }

 private:
  std::recursive_mutex mutex_;
  EglContext* context_;
  int depth_ = 0;
  bool frameHeld_ = false;
};

// Holds the device lock for a scope.
class DeviceScope {
 public:
  explicit DeviceScope(DeviceLock& lock) : lock_(lock) { lock_.Enter(); }
  ~DeviceScope() { lock_.Leave(); }
  DeviceScope(const DeviceScope&) = delete;
  DeviceScope& operator=(const DeviceScope&) = delete;

 private:
  DeviceLock& lock_;
};

}  // namespace gfx
