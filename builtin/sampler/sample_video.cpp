#include "sampler/sample_video.h"

#include <cstring>
#include <new>
#include <vector>

#include "platform/gfx/device.h"
#include "platform/window/kit/plug_chunks.h"
#include "sampler/sample_video_dialog.h"

namespace builtin {

namespace {

constexpr uint32_t kFlagTag = lv::ChunkTag("FLAG");
constexpr uint32_t kNameTag = lv::ChunkTag("NAME");
constexpr uint32_t kSamplerTag = lv::ChunkTag("SAMP");

class SampleVideoDesc final : public lv::PlugDesc {
 public:
  int32_t GetKind() override { return 1; }
  const lv::ClassId* GetClassId() override { return &SampleVideo::kClassId; }
  const char* GetCategory() override { return "Sampler"; }
  const char* GetName() override { return "Sample Video"; }
  const char* GetDescription() override { return "Sample a video source"; }
  lv::Plug* Create() override { return new (std::nothrow) SampleVideo(); }
};

}  // namespace

const lv::ClassId SampleVideo::kClassId = {0xF484161A, 0x9487, 0x410E, {0xBC, 0x55, 0xCC, 0x05, 0xBF, 0x53, 0x5F, 0x60}};
const lv::ParamInfo SampleVideo::kFramesParam = {1, 240, 10, 0, lv::ChunkTag("FRMS"), "Frames", nullptr};

bool SampleVideo::CreateDeviceObjects() {
  ReleaseDeviceObjects();  // whatever a failed attempt left
  if (!host) return false;
  source_ = host->CreateSource(sourceName_.Get(), 0);
  if (!source_) return false;
  source_->SetOption0(0);  // the recording does not loop its source
  if (samplerName_.empty() || !FindOwnSampler()) {
    ReleaseDeviceObjects();
    return false;
  }
  return true;
}

void SampleVideo::ReleaseDeviceObjects() {
  delete source_;
  source_ = nullptr;
}

void SampleVideo::NoteOn() {
  if (!source_) return;
  source_->Restart();
  keep_ = (options_ & kFixedLength) != 0;
  elapsed_ = clock_ = recordIndex_ = 0;
  source_->Attach(velocity);
  if (Sampler* sampler = FindOwnSampler()) sampler->SetRecorded(0);
  bool wrapped = false, newFrame = false;
  source_->Advance(0, &wrapped, &newFrame);
}

void SampleVideo::NoteOff() {
  if (source_) source_->Detach();
}

void SampleVideo::Render(uint32_t milliseconds) {
  if (!source_) return;
  elapsed_ += milliseconds;
  bool wrapped = false, newFrame = false;
  source_->Advance(milliseconds, &wrapped, &newFrame);
  Sampler* sampler = FindOwnSampler();
  if (sampler && sampler->Interval() != 0 && clock_ / sampler->Interval() >= sampler->Recorded()) {
    if (recordIndex_ < sampler->Capacity()) {
      RecordFrame(*sampler);
      ++recordIndex_;
      sampler->SetRecorded(recordIndex_);
    }
    if (recordIndex_ == static_cast<uint32_t>(frames_.load())) keep_ = false;
  }
  // The test above uses the clock of the previous frame.
  const uint32_t rate = bank_.refreshRate ? bank_.refreshRate() : 60;
  clock_ = static_cast<uint32_t>((static_cast<uint64_t>(rate) * elapsed_) / 1000);
}

void SampleVideo::RecordFrame(Sampler& sampler) {
  gfx::Device* device = host ? host->GetDevice() : nullptr;
  gfx::Texture* input = source_->GetTexture();
  gfx::Texture* frame = sampler.FrameTexture(recordIndex_);
  if (!device || !input || !sampler.RecordTarget() || !frame) return;
  gfx::Surface* from = nullptr;
  gfx::Surface* target = nullptr;
  gfx::Surface* to = nullptr;
  input->GetSurfaceLevel(0, &from);
  sampler.RecordTarget()->GetSurfaceLevel(0, &target);
  frame->GetSurfaceLevel(0, &to);
  // A failed copy is skipped; the frame still counts.
  if (from && target && gfx::Succeeded(device->StretchRect(from, nullptr, target, nullptr, gfx::Filter::Linear)) &&
      to)
    device->GetRenderTargetData(target, to);
  if (from) from->Release();
  if (target) target->Release();
  if (to) to->Release();
}

bool SampleVideo::Configure(lv::WindowHandle owner) {
  return RunSampleVideoDialog(*this, bank_, owner, sourceName_, options_);
}

bool SampleVideo::Load(lv::ChunkStream* stream) {
  kit::PlugChunkFields fields;
  fields.options = &options_;
  fields.sourceName = &sourceName_;
  return kit::LoadFlagNameVolPan(stream, host, fields, [this](uint32_t tag, lv::ChunkStream& s) {
    if (tag != kSamplerTag) return;
    // At most 511 characters are taken, as for the source name.
    char text[kit::kMaxSavedNameLength + 1] = {};
    const int32_t size = s.BytesLeft();
    const int32_t take = size < kit::kMaxSavedNameLength ? size : kit::kMaxSavedNameLength;
    if (take > 0 && s.ReadChunkData(text, take)) samplerName_ = text;
  });
}

bool SampleVideo::Save(lv::ChunkStream* stream) {
  const char* source = sourceName_.Get() ? sourceName_.Get() : "";
  return stream->WriteUInt32Chunk(kFlagTag, &options_) &&
         stream->WriteChunk(kNameTag, source, static_cast<int32_t>(std::strlen(source) + 1)) &&
         stream->WriteChunk(kSamplerTag, samplerName_.c_str(), static_cast<int32_t>(samplerName_.size() + 1)) &&
         stream->WriteEnd();
}

lv::PlugDesc* SampleVideoKind() {
  static SampleVideoDesc desc;
  return &desc;
}

}  // namespace builtin
