#pragma once
// The program's live frame loop without its windows: the device on the
// graphics layer, the host object, the registry with the built-in kinds and
// every library of Plugins/, the work buffers and the Performer, wired as
// start-up wires them. Patches are made by kind name and played as notes of
// bank 0 on channel 1.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "display/d3d.h"
#include "display/display_frame_device.h"
#include "display/display_host.h"
#include "host/lorvane_host.h"
#include "performance/performance.h"
#include "performer/performer.h"
#include "registry/plug_registry.h"
#include "registry/plugin_libraries.h"
#include "workbuffers/work_buffer.h"

namespace bench {

// What the display set-up writes into the host object.
class RigDisplayHost final : public lv::DisplayHost {
 public:
  explicit RigDisplayHost(lv::LorvaneHost& host) : host_(host) {}
  void SetDevice(gfx::Device* device) override { host_.device.store(device); }
  gfx::Device* Device() override { return host_.device.load(); }
  void SetCurrentTarget(gfx::Surface* surface) override { host_.targetSurface.store(surface); }
  gfx::Surface* CurrentTarget() override { return host_.targetSurface.load(); }
  void SetTextureRules(bool nonPow2Supported, bool roundToNearestPow2) override {
    host_.nonPow2Supported.store(nonPow2Supported);
    host_.roundToNearestPow2.store(roundToNearestPow2);
  }
  void RefreshTargetDesc() override { host_.GetTargetDesc(&host_.targetDesc, true); }
  const gfx::SurfaceDesc& TargetDesc() override { return host_.targetDesc; }

 private:
  lv::LorvaneHost& host_;
};

class LiveRig {
 public:
  // Every presented picture goes to `presented` (read back from the device).
  LiveRig(uint32_t width, uint32_t height, gfx::PresentCallback presented);
  ~LiveRig();
  LiveRig(const LiveRig&) = delete;
  LiveRig& operator=(const LiveRig&) = delete;

  // Empty when the rig is ready; what failed otherwise.
  const std::string& Error() const { return error_; }

  // Puts a new instance of the kind named `kind` on `note` of bank 0; its
  // input 0 (if any) reads `source`. False when the kind is not registered.
  bool Assign(uint8_t note, const std::string& kind, const std::string& source, int8_t priority = 0);
  // Puts `patch` (owned from now on) on `note`.
  void Assign(uint8_t note, std::unique_ptr<lv::Plug> patch, int8_t priority = 0);
  lv::Plug* Patch(uint8_t note) const { return performance_->NoteSlotAt(note)->patch.get(); }
  // Makes bank 0 the performance's and the Performer's, with the state given.
  void Connect(lv::PerformerState state);

  lv::Performer& Performer() { return performer_; }
  lv::D3D& Display() { return d3d_; }
  lv::LorvaneHost& Host() { return host_; }
  uint32_t Width() const { return width_; }
  uint32_t Height() const { return height_; }

 private:
  uint32_t width_, height_;
  std::string error_;
  lv::D3D d3d_;
  lv::LorvaneHost host_;
  RigDisplayHost displayHost_{host_};
  lv::PlugRegistry registry_;
  lv::PluginLibraries libraries_;
  lv::WorkBufferTable workBuffers_;
  lv::DisplayFrameDevice frameDevice_{d3d_, workBuffers_, displayHost_};
  lv::Performer performer_;
  lv::Performance* performance_ = nullptr;  // owned by the Performer once connected
  std::unique_ptr<lv::Performance> unconnected_;
};

// A 24-bit bottom-up BMP of `width` x `height` with a colourful gradient,
// written once into the temporary folder; its path.
std::string PictureFile(uint32_t width, uint32_t height);

}  // namespace bench
