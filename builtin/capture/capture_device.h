#pragma once
// One video capture device of the system, its formats and inputs, and the
// choices the user made for it; while running, the bound device streams into
// a TextureRenderer and a source kind "Cap<index>-<name>" is registered.
#include <cstdint>
#include <functional>
#include <memory>

#include "capture/texture_renderer.h"
#include "kinds/source_kind_registrar.h"
#include "lv/list.h"
#include "lv/lorvane_interface.h"
#include "lv/named_object.h"
#include "platform/capture/video_device.h"
#include "sources/capture_feed.h"

namespace builtin {

// Makes the source kind of a running device (the capture source's descriptor).
using CaptureKindMaker = std::function<std::unique_ptr<lv::SourceDesc>(CaptureFeed& device)>;

// What the devices need of the program.
struct CaptureEnvironment {
  lv::LorvaneInterface* host = nullptr;
  SourceKindRegistrar* registrar = nullptr;
  CaptureKindMaker makeKind;
};

class CaptureFormat final : public lv::ListNode {
 public:
  explicit CaptureFormat(const capture::VideoFormat& offered)
      : width(offered.width), height(static_cast<uint32_t>(offered.height)), imageSize(offered.imageSize),
        fourcc(offered.compression), mediaType(offered) {}
  uint32_t width;
  uint32_t height;      // as the device gives it (negative for top-down RGB)
  uint32_t imageSize;
  uint32_t fourcc;
  capture::VideoFormat mediaType;
};

// A physical input, named by its connector type.
class CaptureInput final : public lv::NamedObject {
 public:
  explicit CaptureInput(int32_t pin) : pinIndex(pin) {}
  int32_t pinIndex;
};

class CaptureDevice final : public lv::NamedObject, public CaptureFeed {
 public:
  enum Status : uint8_t { kBindFailed = 1, kNoFormats = 2, kReady = 3 };
  // Longest friendly name kept, in bytes.
  static constexpr int kMaxNameBytes = 79;

  CaptureDevice(capture::CaptureSystem& system, const CaptureEnvironment& env, int16_t index)
      : system_(system), env_(env), index_(index) {}
  ~CaptureDevice() override { ReleaseGraph(); }

  bool Start();
  bool Stop();
  void ReleaseGraph();
  // Store the choice; a running device restarts with it.
  bool SetFormat(CaptureFormat* format);
  bool SetInput(CaptureInput* input);
  // Reaches a running renderer at once.
  void SetFlip(bool flip);
  CaptureFormat* FindFormat(uint32_t width, uint32_t height, uint32_t fourcc) const;

  Status GetStatus() const { return status_; }
  bool Running() const { return running_; }
  bool Flip() const { return flip_; }
  CaptureFormat* Format() const { return format_; }
  CaptureInput* Input() const { return input_; }
  const lv::List& Formats() const { return formats_; }
  const lv::List& Inputs() const { return inputs_; }

  // For the source kind.
  int16_t DeviceIndex() override { return index_; }
  const char* FriendlyName() override { return Name(); }
  CaptureFrameRenderer* Renderer() override { return renderer_.get(); }
  TextureRenderer* GetTextureRenderer() const { return renderer_.get(); }

 private:
  friend class CaptureManager;

  // The device bound again by its index (null on failure, already logged).
  std::unique_ptr<capture::VideoDevice> BindFilter();
  bool BuildCaptureGraph(TextureRenderer& renderer);

  capture::CaptureSystem& system_;
  const CaptureEnvironment& env_;
  int16_t index_;
  Status status_ = kBindFailed;
  bool running_ = false;
  bool restore_ = false;
  bool flip_ = false;
  CaptureFormat* format_ = nullptr;
  CaptureInput* input_ = nullptr;
  std::unique_ptr<capture::VideoDevice> graph_;
  std::unique_ptr<TextureRenderer> renderer_;
  std::unique_ptr<lv::SourceDesc> kind_;
  bool kindRegistered_ = false;
  lv::List formats_;
  lv::List inputs_;
};

}  // namespace builtin
