#include "display/d3d.h"

#include <cstdio>

#include "platform/sys/log.h"

namespace lv {

D3D::D3D(SystemFactory factory) : factory_(std::move(factory)) {}

D3D::~D3D() { Shutdown(); }

BackBufferLimit D3D::LimitOf(uint32_t adapter) const {
  // Before a device is made its caps come from the graphics system.
  gfx::DeviceCaps caps = caps_;
  if (system_) system_->GetDeviceCaps(adapter, gfx::DeviceType::Hal, &caps);
  BackBufferLimit limit;
  if (caps.maxTextureWidth != 0 && caps.maxTextureWidth < limit.width) limit.width = caps.maxTextureWidth;
  if (caps.maxTextureHeight != 0 && caps.maxTextureHeight < limit.height) limit.height = caps.maxTextureHeight;
  return limit;
}

gfx::Format D3D::FullScreenFormat(const DisplayRequest& wanted) const {
  if (wanted.adapter >= static_cast<uint32_t>(adapterCount_)) return gfx::Format::Unknown;
  return ChooseBackBufferFormat(adapters_[wanted.adapter].modes, wanted, LimitOf(wanted.adapter));
}

D3D::InitResult D3D::Init(gfx::NativeWindow window, bool fullScreen) {
  sys::CriticalSectionLock lock(deviceLock_);
  sys::Log("Calling Direct3DCreate9");
  if (!system_) system_ = factory_ ? factory_() : nullptr;
  if (!system_) return kNoGraphicsSystem;
  sys::Log("Direct3D created");

  window_ = window;
  presentParameters_ = gfx::PresentParameters{};
  presentParameters_.backBufferWidth = request.width;
  presentParameters_.backBufferHeight = request.height;
  presentParameters_.backBufferCount = 1;
  presentParameters_.swapEffect = gfx::SwapEffect::Copy;
  presentParameters_.enableAutoDepthStencil = true;
  presentParameters_.autoDepthStencilFormat = gfx::Format::D24S8;
  presentParameters_.presentationInterval = 1;
  presentParameters_.deviceWindow = window;
  presentParameters_.presentFallback = presentFallback_;
  presentParameters_.backBufferFormat = FullScreenFormat(request);
  uint32_t adapter = 0;
  if (fullScreen) {
    // Without a format for its bits, or beyond the largest size, the screen
    // cannot show the request: refuse, and let the caller stay windowed.
    if (presentParameters_.backBufferFormat == gfx::Format::Unknown) return kNoMatchingMode;
    presentParameters_.windowed = false;
    presentParameters_.fullScreenRefreshRate = request.refreshRate;
    adapter = request.adapter;
  } else {
    presentParameters_.windowed = true;
  }

  sys::Log("Attempting to create hardware device");
  if (gfx::Failed(CreateDevice(adapter, gfx::create::HardwareVertexProcessing | gfx::create::Multithreaded))) {
    sys::Log("Attempting to create software device");
    if (gfx::Failed(CreateDevice(adapter, gfx::create::SoftwareVertexProcessing | gfx::create::Multithreaded)))
      return kNoDevice;
  }

  caps_ = gfx::DeviceCaps{};
  system_->GetDeviceCaps(request.adapter, gfx::DeviceType::Hal, &caps_);
  device_->SetRenderState(gfx::RenderState::ZEnable, 1);
  sys::Log("Device created");

  backBuffer_ = nullptr;
  if (gfx::Succeeded(device_->GetBackBuffer(0, 0, &backBuffer_)) && backBuffer_ != nullptr) {
    backBuffer_->GetDesc(&backBufferDesc_);
    backBuffer_->Release();  // the pointer stays valid while the device lives
    request.width = backBufferDesc_.width;
    request.height = backBufferDesc_.height;
  }

  sys::Log("Clearing device");
  device_->Clear(0, nullptr, gfx::clear::Target | gfx::clear::ZBuffer | gfx::clear::Stencil, 0xFF000000, 1.0f, 0);
  device_->Present(nullptr, nullptr, gfx::NativeWindow{}, nullptr);
  return kInitOk;
}

gfx::Result D3D::CreateDevice(uint32_t adapter, uint32_t flags) {
  gfx::Device* device = nullptr;
  const gfx::Result result =
      system_->CreateDevice(adapter, gfx::DeviceType::Hal, window_, flags, &presentParameters_, &device);
  if (gfx::Succeeded(result) && device != nullptr) {
    device_ = device;
    return gfx::Result::Ok;
  }
  return gfx::Failed(result) ? result : gfx::Result::NotAvailable;
}

bool D3D::Shutdown() {
  sys::CriticalSectionLock lock(deviceLock_);
  backBuffer_ = nullptr;
  if (device_ != nullptr) {
    std::fprintf(stderr, "pDev : %u\n", static_cast<unsigned>(device_->Release()));
    device_ = nullptr;
  }
  if (system_) {
    std::fprintf(stderr, "pD3D : 0\n");
    system_.reset();
  }
  return true;
}

gfx::Result D3D::GetDriverInfo() {
  sys::CriticalSectionLock lock(deviceLock_);
  sys::Log("D3D::GetDriverInfo started");
  for (AdapterInfo& info : adapters_) {
    info.modes.DeleteAll();
    info.description.Free();
    info.deviceName.Free();
  }
  adapterCount_ = 0;
  if (!system_) return gfx::Result::InvalidCall;
  // Only four records exist; adapters beyond them are not offered.
  const uint32_t count = system_->GetAdapterCount();
  const uint32_t kept = count < kMaxAdapters ? count : kMaxAdapters;
  for (uint32_t adapter = 0; adapter < kept; ++adapter) {
    gfx::AdapterIdentifier id;
    const gfx::Result result = system_->GetAdapterIdentifier(adapter, &id);
    if (gfx::Failed(result)) return result;
    AdapterInfo& info = adapters_[adapter];
    info.description.Assign(id.description.c_str());
    info.deviceName.Assign(id.deviceName.c_str());
    adapterCount_ = static_cast<int>(adapter) + 1;
    for (const DisplayFormat& entry : kDisplayFormats) {
      const uint32_t modes = system_->GetAdapterModeCount(adapter, entry.format);
      for (uint32_t m = 0; m < modes; ++m) {
        gfx::DisplayMode mode;
        if (gfx::Failed(system_->EnumAdapterModes(adapter, entry.format, m, &mode))) continue;
        info.modes.Append(new DisplayModeNode(mode.width, mode.height, entry.bitsPerPixel, mode.refreshRate,
                                              mode.format));
      }
    }
  }
  sys::Log("D3D::GetDriverInfo finished");
  return gfx::Result::Ok;
}

bool D3D::BeginFrame() {
  sys::CriticalSectionLock lock(deviceLock_);
  if (device_ == nullptr || sceneOpen_) return true;
  // The device keeps a scene to its thread until EndScene; holding our lock
  // as long keeps the two locks in one order (ours first) on every thread.
  deviceLock_.Enter();
  sceneOpen_ = true;
  // Only depth: the colour stays, so the previous picture shows unless drawn over.
  device_->Clear(0, nullptr, gfx::clear::ZBuffer, 0, 1.0f, 0);
  device_->BeginScene();
  device_->SetRenderState(gfx::RenderState::AlphaFunc, static_cast<uint32_t>(gfx::Cmp::Always));
  device_->SetRenderState(gfx::RenderState::SrcBlend, static_cast<uint32_t>(gfx::Blend::One));
  device_->SetRenderState(gfx::RenderState::DestBlend, static_cast<uint32_t>(gfx::Blend::Zero));
  device_->SetRenderState(gfx::RenderState::BlendOp, static_cast<uint32_t>(gfx::BlendOp::Add));
  device_->SetRenderState(gfx::RenderState::AlphaBlendEnable, 0);
  device_->SetRenderState(gfx::RenderState::AlphaTestEnable, 0);
  device_->SetRenderState(gfx::RenderState::ZWriteEnable, 1);
  device_->SetRenderState(gfx::RenderState::ZEnable, 1);
  return true;
}

void D3D::EndScene() {
  sys::CriticalSectionLock lock(deviceLock_);
  if (!sceneOpen_) return;
  device_->EndScene();
  sceneOpen_ = false;
  deviceLock_.Leave();
}

void D3D::Present() {
  if (device_ != nullptr) device_->Present(nullptr, nullptr, gfx::NativeWindow{}, nullptr);
}

}  // namespace lv
