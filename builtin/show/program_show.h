#pragma once
// The program's capture devices and samplers as the project file saves and
// restores them, and as a display reset and shutdown release them. Used on
// the user-interface thread.
#include "capture/capture_manager.h"
#include "files/show_objects.h"
#include "platform/sys/critical_section.h"
#include "sampler/sampler.h"

namespace builtin {

// Running devices register a capture source kind, samplers a video-sample one.
CaptureEnvironment ProgramCaptureEnvironment(lv::LorvaneInterface* host, SourceKindRegistrar* registrar);
SamplerEnvironment ProgramSamplerEnvironment(lv::LorvaneInterface* host, SourceKindRegistrar* registrar);

class ProgramShow final : public lv::ShowObjects {
 public:
  // Devices start and stop, and samplers come and go, under `frameLock`
  // (null: no render thread), so the render thread is never inside a
  // renderer or sampler being freed.
  ProgramShow(SamplerBank& samplers, sys::CriticalSection* frameLock) : samplers_(samplers), frameLock_(frameLock) {}

  // Null until the capture manager exists, and again after shutdown.
  void SetCaptures(CaptureManager* captures) { captures_ = captures; }

  // ShowObjects.
  void Release() override;
  bool SaveCaptures(const SectionSink& section) override;
  bool SaveSamplers(const SectionSink& section) override;
  void LoadCapture(lv::ChunkStream& stream) override;
  void LoadSampler(lv::ChunkStream& stream) override;

  // Around a display reset: running devices stop and sampler frames go, then
  // the devices start again and the samplers get empty frames.
  void ReleaseSurfaces();
  void RestoreSurfaces();
  // Deletes every sampler.
  void DeleteSamplers();

 private:
  class FrameLock;

  SamplerBank& samplers_;
  sys::CriticalSection* frameLock_;
  CaptureManager* captures_ = nullptr;
};

}  // namespace builtin
