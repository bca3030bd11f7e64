#pragma once
// The one graphics device of the program: the graphics system, the device
// and its back buffer, the adapters with their display modes, and the device
// lock that serialises device creation and release with frames and
// presentation.
#include <cstdint>
#include <functional>
#include <memory>

#include "display/display_modes.h"
#include "platform/gfx/graphics_system.h"
#include "platform/sys/critical_section.h"

namespace lv {

class D3D {
 public:
  static constexpr int kMaxAdapters = 4;

  enum InitResult : int {
    kInitOk = 0,
    kNoGraphicsSystem = 2,
    kNoDevice = 3,
    // Full screen only: no format for the request's bits, or a size beyond
    // the device's largest; nothing was made.
    kNoMatchingMode = 4,
  };

  using SystemFactory = std::function<std::unique_ptr<gfx::GraphicsSystem>()>;

  // `factory` makes the graphics system at each Init (the program passes
  // gfx::CreateGraphicsSystem, tests a fake).
  explicit D3D(SystemFactory factory);
  ~D3D();
  D3D(const D3D&) = delete;
  D3D& operator=(const D3D&) = delete;

  // Where a window cannot show the picture itself, Present hands it here.
  void SetPresentFallback(gfx::PresentCallback fallback) { presentFallback_ = std::move(fallback); }

  InitResult Init(gfx::NativeWindow window, bool fullScreen);
  // Releases the device and the graphics system.
  bool Shutdown();
  // Fills the adapter records (at most kMaxAdapters); Ok, or the failing
  // identifier query's result.
  gfx::Result GetDriverInfo();
  // Clears the depth buffer, begins the scene and sets the frame's states.
  // The calling thread keeps the device lock until EndScene.
  bool BeginFrame();
  // On the thread that began the frame.
  void EndScene();
  void Present();

  // Lock order: platform/gfx/device_lock.h.
  sys::CriticalSection& DeviceLock() { return deviceLock_; }

  gfx::Device* Device() const { return device_; }
  gfx::GraphicsSystem* System() const { return system_.get(); }
  // Kept without a reference: valid while the device lives.
  gfx::Surface* BackBuffer() const { return backBuffer_; }
  const gfx::SurfaceDesc& BackBufferDesc() const { return backBufferDesc_; }
  const gfx::DeviceCaps& Caps() const { return caps_; }
  const gfx::PresentParameters& LastPresentParameters() const { return presentParameters_; }

  int AdapterCount() const { return adapterCount_; }
  const AdapterInfo& Adapter(int index) const { return adapters_[index]; }
  // The format Init would choose for a full-screen device made for
  // `wanted`; Unknown when none can be made for it.
  gfx::Format FullScreenFormat(const DisplayRequest& wanted) const;

  DisplayRequest request;

 private:
  gfx::Result CreateDevice(uint32_t adapter, uint32_t flags);
  BackBufferLimit LimitOf(uint32_t adapter) const;

  SystemFactory factory_;
  gfx::PresentCallback presentFallback_;
  std::unique_ptr<gfx::GraphicsSystem> system_;
  gfx::Device* device_ = nullptr;
  gfx::Surface* backBuffer_ = nullptr;
  gfx::SurfaceDesc backBufferDesc_;
  gfx::DeviceCaps caps_;
  gfx::PresentParameters presentParameters_;
  gfx::NativeWindow window_;
  bool sceneOpen_ = false;  // under the device lock
  int adapterCount_ = 0;
  AdapterInfo adapters_[kMaxAdapters];
  sys::CriticalSection deviceLock_;
};

}  // namespace lv
