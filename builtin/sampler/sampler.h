#pragma once
// A named store of video frames: a fixed number of system-memory textures of
// one size and format, of which the first `recorded` hold frames. Each
// sampler registers a "Video Sample" source kind under its name while it
// holds frames. Used on the render thread, or on the user-interface thread
// while the render thread is halted.
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "kinds/source_kind_registrar.h"
#include "lv/list.h"
#include "lv/lorvane_interface.h"
#include "lv/named_object.h"
#include "platform/gfx/formats.h"
#include "platform/gfx/resources.h"
#include "sources/sample_store.h"

namespace builtin {

// Makes the source kind of a sampler (the video-sample source's descriptor).
using SampleKindMaker = std::function<std::unique_ptr<lv::SourceDesc>(SampleStore& sampler)>;

struct OutputSize {
  uint32_t width = 0;
  uint32_t height = 0;
};

// What samplers need of the program.
struct SamplerEnvironment {
  lv::LorvaneInterface* host = nullptr;
  SourceKindRegistrar* registrar = nullptr;
  SampleKindMaker makeKind;
  // The output samplers are made for: that of the performance being loaded,
  // else of the one playing. Null, or a size of 0, means the host's target.
  std::function<OutputSize()> outputSize;
};

class Sampler final : public lv::NamedObject, public SampleStore {
 public:
  // Frame counts and intervals a sampler can have: playback runs at
  // 60 / interval frames per second, so an interval above 60 would stop it.
  static constexpr uint32_t kMaxFrames = 240;
  static constexpr uint32_t kMaxInterval = 60;
  static constexpr uint32_t kDefaultInterval = 2;

  // A new sampler with its frames, appended to `list`; null (and nothing
  // appended) when the frames cannot be made, the numbers are out of range
  // or the frames would not fit (see Fits).
  static Sampler* Create(lv::List& list, const SamplerEnvironment& env, const char* name, uint32_t width,
                         uint32_t height, gfx::Format format, uint32_t frames, uint32_t interval);
  // Around a display reset: the frames are released, then made again empty.
  static void ReleaseAll(lv::List& list);
  // Whether frames of that size may be made: no side above the largest the
  // sampler settings offer for the output (the power of two above its side),
  // and all frames with the record target in half the machine's memory.
  static bool Fits(const SamplerEnvironment& env, uint32_t width, uint32_t height, gfx::Format format,
                   uint32_t frames);
  static void RestoreAll(lv::List& list);

  explicit Sampler(const SamplerEnvironment& env) : env_(env) {}
  ~Sampler() override { Unregister(); }

  bool Allocate(uint32_t frames, uint32_t width, uint32_t height, gfx::Format format);
  // Unregisters the source kind and frees every texture.
  void Unregister();

  // SampleStore.
  const char* Name() override { return NamedObject::Name(); }
  uint32_t Width() override { return width_; }
  uint32_t Height() override { return height_; }
  gfx::Format Format() override { return format_; }
  uint32_t Recorded() override { return recorded_; }
  uint32_t Interval() override { return interval_; }
  gfx::Texture* FrameTexture(uint32_t index) override;

  uint32_t Capacity() const { return static_cast<uint32_t>(frames_.size()); }
  void SetRecorded(uint32_t count) { recorded_ = count; }
  void SetInterval(uint32_t interval) { interval_ = interval; }
  gfx::Texture* RecordTarget() const { return recordTarget_; }
  lv::SourceDesc* Kind() const { return kind_.get(); }

 private:
  // Makes the record target and every frame; false at the first failure.
  bool MakeTextures();
  void ReleaseTextures();

  const SamplerEnvironment& env_;
  uint32_t width_ = 0;
  uint32_t height_ = 0;
  gfx::Format format_ = gfx::Format::Unknown;
  uint32_t recorded_ = 0;
  uint32_t interval_ = kDefaultInterval;
  std::vector<gfx::Texture*> frames_;
  gfx::Texture* recordTarget_ = nullptr;
  std::unique_ptr<lv::SourceDesc> kind_;
};

// The first sampler of that name (case of A-Z ignored), or null.
Sampler* FindSampler(lv::List& list, const char* name);

// The program's samplers and what they need; the refresh rate is that of the
// performance now playing.
struct SamplerBank {
  lv::List samplers;
  SamplerEnvironment env;
  std::function<uint32_t()> refreshRate = [] { return 60u; };
};
SamplerBank& TheSamplerBank();

}  // namespace builtin
