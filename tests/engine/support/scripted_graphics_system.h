#pragma once
// The real graphics system with a supplied adapter and mode list, device
// creation that can be made to fail, and a record of the creation flags.
#include <map>
#include <memory>
#include <utility>
#include <vector>

#include "platform/gfx/graphics_system.h"

namespace lvtest {

struct ScriptedAdapter {
  std::string description;
  std::string deviceName;
  std::map<gfx::Format, std::vector<gfx::DisplayMode>> modes;
};

struct SystemScript {
  std::vector<ScriptedAdapter> adapters{{"Test adapter", "screen-0", {{gfx::Format::X8R8G8B8, {{640, 480, 60}, {1024, 768, 60}}}}}};
  int failIdentifierOf = -1;          // this adapter's identifier query fails
  bool failHardware = false;          // hardware vertex processing is refused
  bool failSoftware = false;
  uint32_t maxBackBufferSide = 0;     // non-zero: larger back buffers are refused
  uint32_t maxTextureSide = 0;        // non-zero: the largest texture the caps give
  std::vector<uint32_t> createFlags;  // every CreateDevice call's flags
  uint32_t textureCaps = 0;
};

class ScriptedGraphicsSystem final : public gfx::GraphicsSystem {
 public:
  explicit ScriptedGraphicsSystem(SystemScript* script) : script_(script), real_(gfx::CreateGraphicsSystem()) {}

  bool HasReal() const { return real_ != nullptr; }

  uint32_t GetAdapterCount() override { return static_cast<uint32_t>(script_->adapters.size()); }
  gfx::Result GetAdapterIdentifier(uint32_t adapter, gfx::AdapterIdentifier* id) override {
    if (static_cast<int>(adapter) == script_->failIdentifierOf || adapter >= script_->adapters.size())
      return gfx::Result::InvalidCall;
    id->description = script_->adapters[adapter].description;
    id->deviceName = script_->adapters[adapter].deviceName;
    return gfx::Result::Ok;
  }
  uint32_t GetAdapterModeCount(uint32_t adapter, gfx::Format format) override {
    if (adapter >= script_->adapters.size()) return 0;
    auto& modes = script_->adapters[adapter].modes;
    auto it = modes.find(format);
    return it == modes.end() ? 0 : static_cast<uint32_t>(it->second.size());
  }
  gfx::Result EnumAdapterModes(uint32_t adapter, gfx::Format format, uint32_t mode, gfx::DisplayMode* out) override {
    if (mode >= GetAdapterModeCount(adapter, format)) return gfx::Result::InvalidCall;
    *out = script_->adapters[adapter].modes[format][mode];
    out->format = format;
    return gfx::Result::Ok;
  }
  gfx::Result GetDeviceCaps(uint32_t, gfx::DeviceType type, gfx::DeviceCaps* caps) override {
    gfx::Result result = real_ ? real_->GetDeviceCaps(0, type, caps) : gfx::Result::NotAvailable;
    caps->textureCaps = script_->textureCaps;
    if (script_->maxTextureSide != 0) caps->maxTextureWidth = caps->maxTextureHeight = script_->maxTextureSide;
    return result;
  }
  gfx::Result CreateDevice(uint32_t, gfx::DeviceType type, gfx::NativeWindow focus, uint32_t flags,
                           gfx::PresentParameters* params, gfx::Device** device) override {
    script_->createFlags.push_back(flags);
    if ((flags & gfx::create::HardwareVertexProcessing) && script_->failHardware) return gfx::Result::NotAvailable;
    if ((flags & gfx::create::SoftwareVertexProcessing) && script_->failSoftware) return gfx::Result::NotAvailable;
    if (script_->maxBackBufferSide != 0 && (params->backBufferWidth > script_->maxBackBufferSide ||
                                            params->backBufferHeight > script_->maxBackBufferSide))
      return gfx::Result::OutOfVideoMemory;
    if (!real_) return gfx::Result::NotAvailable;
    return real_->CreateDevice(0, type, focus, flags, params, device);
  }

 private:
  SystemScript* script_;
  std::unique_ptr<gfx::GraphicsSystem> real_;
};

}  // namespace lvtest
