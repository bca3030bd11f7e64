#pragma once
// The entry to the graphics layer: adapters, their display modes and device
// creation. Where a window system (X11) is present the adapters are its
// screens and their modes; offscreen there is one adapter with a fixed list.
#include <cstdint>
#include <memory>
#include <string>

#include "platform/gfx/caps.h"
#include "platform/gfx/device.h"

namespace gfx {

struct AdapterIdentifier {
  std::string description;  // the renderer, e.g. "llvmpipe (LLVM 15.0.6, 256 bits)"
  std::string deviceName;   // the screen, e.g. "HDMI-1", or "offscreen"
};

struct DisplayMode {
  uint32_t width = 0;
  uint32_t height = 0;
  uint32_t refreshRate = 0;  // Hz
  Format format = Format::Unknown;
};

enum class DeviceType { Hal, Reference };

namespace create {
inline constexpr uint32_t Multithreaded = 1u << 2;
inline constexpr uint32_t SoftwareVertexProcessing = 1u << 5;
inline constexpr uint32_t HardwareVertexProcessing = 1u << 6;
}  // namespace create

class GraphicsSystem {
 public:
  virtual ~GraphicsSystem() = default;

  virtual uint32_t GetAdapterCount() = 0;
  virtual Result GetAdapterIdentifier(uint32_t adapter, AdapterIdentifier* id) = 0;
  // Modes listed for a display format (X8R8G8B8 and R5G6B5 have modes; other formats none).
  virtual uint32_t GetAdapterModeCount(uint32_t adapter, Format format) = 0;
  virtual Result EnumAdapterModes(uint32_t adapter, Format format, uint32_t mode, DisplayMode* out) = 0;
  virtual Result GetDeviceCaps(uint32_t adapter, DeviceType type, DeviceCaps* caps) = 0;
  // The device draws offscreen and shows its back buffer on params.deviceWindow
  // (or hands it to params.presentFallback). Adds nothing to *device on failure.
  virtual Result CreateDevice(uint32_t adapter, DeviceType type, NativeWindow focusWindow, uint32_t flags,
                              PresentParameters* params, Device** device) = 0;
};

// Null only when no OpenGL 4.5 through EGL can be had at all.
std::unique_ptr<GraphicsSystem> CreateGraphicsSystem();

}  // namespace gfx
