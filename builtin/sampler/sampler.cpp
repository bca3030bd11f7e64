#include "sampler/sampler.h"

#include "platform/gfx/device.h"

namespace builtin {

namespace {

// The smallest power of two above `side`: the largest frame side the
// sampler settings offer for an output that wide.
uint64_t LargestFrameSide(uint32_t side) {
  uint64_t power = 1;
  while (power <= side) power *= 2;
  return power;
}

OutputSize OutputOf(const SamplerEnvironment& env) {
  OutputSize size = env.outputSize ? env.outputSize() : OutputSize{};
  if ((size.width == 0 || size.height == 0) && env.host != nullptr) {
    if (const gfx::SurfaceDesc* target = env.host->GetBackBufferDesc()) size = {target->width, target->height};
  }
  return size;
}

}  // namespace

bool Sampler::Fits(const SamplerEnvironment& env, uint32_t width, uint32_t height, gfx::Format format,
                   uint32_t frames) {
  const OutputSize output = OutputOf(env);
  if (width > LargestFrameSide(output.width) || height > LargestFrameSide(output.height)) return false;
  // The back buffer's format (Unknown) is at most four bytes a pixel.
  const int pixelBytes = format == gfx::Format::Unknown ? 4 : gfx::BytesPerPixel(format);
  const uint64_t bytes = (uint64_t(frames) + 1) * width * height * uint64_t(pixelBytes > 0 ? pixelBytes : 4);
  const int32_t memoryKB = env.host != nullptr ? env.host->GetMemoryKB() : 0;
  return memoryKB <= 0 || bytes <= uint64_t(memoryKB) * 1024 / 2;
}

Sampler* Sampler::Create(lv::List& list, const SamplerEnvironment& env, const char* name, uint32_t width,
                         uint32_t height, gfx::Format format, uint32_t frames, uint32_t interval) {
  if (!name || frames == 0 || frames > kMaxFrames || interval == 0 || interval > kMaxInterval || width == 0 ||
      height == 0 || !Fits(env, width, height, format, frames))
    return nullptr;
  auto sampler = std::make_unique<Sampler>(env);
  if (!sampler->SetName(name) || !sampler->Allocate(frames, width, height, format)) return nullptr;
  sampler->interval_ = interval;
  list.Append(sampler.get());
  return sampler.release();
}

bool Sampler::Allocate(uint32_t frames, uint32_t width, uint32_t height, gfx::Format format) {
  Unregister();
  width_ = width;
  height_ = height;
  format_ = format;
  frames_.assign(frames, nullptr);
  if (!MakeTextures()) return false;
  recorded_ = 0;
  if (env_.makeKind) kind_ = env_.makeKind(*this);
  if (kind_ && env_.registrar) env_.registrar->Register(kind_.get());
  return true;
}

bool Sampler::MakeTextures() {
  lv::LorvaneInterface* host = env_.host;
  gfx::Device* device = host ? host->GetDevice() : nullptr;
  if (!device) return false;
  recordTarget_ = host->CreateTexture(width_, height_, format_, gfx::usage::RenderTarget, gfx::Pool::Default);
  if (!recordTarget_) return false;
  gfx::Format frameFormat = format_;
  if (frameFormat == gfx::Format::Unknown) {
    gfx::SurfaceDesc desc;
    gfx::Surface* backBuffer = host->GetBackBuffer();
    if (!backBuffer || gfx::Failed(backBuffer->GetDesc(&desc))) return false;
    frameFormat = desc.format;
  }
  for (gfx::Texture*& frame : frames_) {
    if (gfx::Failed(device->CreateTexture(width_, height_, 1, gfx::usage::None, frameFormat, gfx::Pool::SystemMem,
                                          &frame))) {
      frame = nullptr;
      return false;
    }
  }
  return true;
}

void Sampler::ReleaseTextures() {
  if (recordTarget_) recordTarget_->Release();
  recordTarget_ = nullptr;
  for (gfx::Texture*& frame : frames_) {
    if (frame) frame->Release();
    frame = nullptr;
  }
}

void Sampler::Unregister() {
  if (kind_ && env_.registrar) env_.registrar->Unregister(kind_.get());
  kind_.reset();
  ReleaseTextures();
  frames_.clear();
  width_ = height_ = 0;
  format_ = gfx::Format::Unknown;
  recorded_ = 0;
  interval_ = kDefaultInterval;
}

gfx::Texture* Sampler::FrameTexture(uint32_t index) {
  return index < frames_.size() ? frames_[index] : nullptr;
}

void Sampler::ReleaseAll(lv::List& list) {
  for (lv::ListNode* n = list.Head(); n; n = n->Next()) {
    auto* sampler = static_cast<Sampler*>(n);
    sampler->ReleaseTextures();
    sampler->recorded_ = 0;
  }
}

void Sampler::RestoreAll(lv::List& list) {
  for (lv::ListNode* n = list.Head(); n; n = n->Next()) {
    auto* sampler = static_cast<Sampler*>(n);
    if (sampler->frames_.empty()) continue;
    if (sampler->MakeTextures()) sampler->recorded_ = 0;
  }
}

Sampler* FindSampler(lv::List& list, const char* name) {
  if (!name) return nullptr;
  return static_cast<Sampler*>(static_cast<lv::NamedObject*>(lv::FindByName(list.Head(), name)));
}

SamplerBank& TheSamplerBank() {
  static SamplerBank bank;
  return bank;
}

}  // namespace builtin
