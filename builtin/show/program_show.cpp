#include "show/program_show.h"

#include <memory>

#include "capture/capture_section.h"
#include "sampler/sampler_section.h"
#include "sources/capture_source.h"
#include "sources/video_sample_source.h"

namespace builtin {

class ProgramShow::FrameLock {
 public:
  explicit FrameLock(sys::CriticalSection* lock) : lock_(lock) {
    if (lock_ != nullptr) lock_->Enter();
  }
  ~FrameLock() {
    if (lock_ != nullptr) lock_->Leave();
  }
  FrameLock(const FrameLock&) = delete;
  FrameLock& operator=(const FrameLock&) = delete;

 private:
  sys::CriticalSection* lock_;
};

CaptureEnvironment ProgramCaptureEnvironment(lv::LorvaneInterface* host, SourceKindRegistrar* registrar) {
  CaptureEnvironment env;
  env.host = host;
  env.registrar = registrar;
  env.makeKind = [](CaptureFeed& device) { return std::make_unique<CaptureSourceDesc>(device); };
  return env;
}

SamplerEnvironment ProgramSamplerEnvironment(lv::LorvaneInterface* host, SourceKindRegistrar* registrar) {
  SamplerEnvironment env;
  env.host = host;
  env.registrar = registrar;
  env.makeKind = [](SampleStore& sampler) { return std::make_unique<VideoSampleSourceDesc>(sampler); };
  return env;
}

void ProgramShow::Release() {
  FrameLock frame(frameLock_);
  if (captures_ != nullptr) captures_->StopAll();
  samplers_.samplers.DeleteAll();
}

bool ProgramShow::SaveCaptures(const SectionSink& section) {
  if (captures_ == nullptr) return true;
  for (lv::ListNode* node = captures_->Devices().Head(); node != nullptr; node = node->Next()) {
    const auto& device = *static_cast<const CaptureDevice*>(node);
    if (!HasCaptureSection(device)) continue;
    if (!section([&](lv::ChunkStream& stream) { return WriteCaptureSection(device, stream); })) return false;
  }
  return true;
}

bool ProgramShow::SaveSamplers(const SectionSink& section) {
  for (lv::ListNode* node = samplers_.samplers.Head(); node != nullptr; node = node->Next()) {
    auto& sampler = *static_cast<Sampler*>(static_cast<lv::NamedObject*>(node));
    if (!section([&](lv::ChunkStream& stream) { return WriteSamplerSection(sampler, stream); })) return false;
  }
  return true;
}

void ProgramShow::LoadCapture(lv::ChunkStream& stream) {
  if (captures_ == nullptr) return;
  FrameLock frame(frameLock_);
  ReadCaptureSection(*captures_, stream);
}

void ProgramShow::LoadSampler(lv::ChunkStream& stream) {
  FrameLock frame(frameLock_);
  ReadSamplerSection(samplers_, stream);
}

void ProgramShow::ReleaseSurfaces() {
  FrameLock frame(frameLock_);
  if (captures_ != nullptr) captures_->ReleaseDevices();
  Sampler::ReleaseAll(samplers_.samplers);
}

void ProgramShow::RestoreSurfaces() {
  FrameLock frame(frameLock_);
  if (captures_ != nullptr) captures_->RestoreDevices();
  Sampler::RestoreAll(samplers_.samplers);
}

void ProgramShow::DeleteSamplers() {
  FrameLock frame(frameLock_);
  samplers_.samplers.DeleteAll();
}

}  // namespace builtin
