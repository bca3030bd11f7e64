#pragma once
// A source kind for drawing tests: "Pattern:" opens a frame of four solid
// quadrants, made through the host like any source's texture.
#include <cstring>
#include <vector>

#include "lv/lorvane_interface.h"
#include "lv/source_desc.h"
#include "platform/gfx/resources.h"

namespace pattern {

// 0xAARRGGBB of the quadrants: top left, top right, bottom left, bottom right.
inline constexpr uint32_t kQuadrants[4] = {0xFFC86428, 0xFF143CF0, 0xFF000000, 0xFF808080};

inline constexpr lv::ClassId kPatternId{0x7E57AB1E, 1, 2, {3, 4, 5, 6, 7, 8, 9, 10}};

// The frame size the next opened source has.
inline uint32_t frameWidth = 16;
inline uint32_t frameHeight = 12;

class PatternSource final : public lv::Source {
 public:
  ~PatternSource() override { ReleaseDeviceObjects(); }
  int32_t GetKind() override { return 1; }
  const lv::ClassId* GetClassId() override { return &kPatternId; }
  uint8_t SetOption0(uint8_t v) override { return looped = v; }
  uint8_t SetOption1(uint8_t v) override { return v; }
  uint8_t SetOption2(uint8_t v) override { return v; }
  bool Open(const char*) override {
    width_ = frameWidth;
    height_ = frameHeight;
    texture_ = host->CreateTexture(width_, height_, gfx::Format::A8R8G8B8, gfx::usage::None, gfx::Pool::Managed);
    if (texture_ == nullptr) return false;
    gfx::LockedRect locked;
    if (gfx::Failed(texture_->LockRect(0, &locked, nullptr, gfx::lock::Discard))) return false;
    for (uint32_t y = 0; y < height_; ++y) {
      auto* row = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(locked.bits) + y * locked.pitch);
      for (uint32_t x = 0; x < width_; ++x) row[x] = kQuadrants[(y >= height_ / 2 ? 2 : 0) + (x >= width_ / 2 ? 1 : 0)];
    }
    texture_->UnlockRect(0);
    // Every source samples from texel centres this way.
    rect_[0] = 0.5f / float(width_);
    rect_[1] = 0.5f / float(height_);
    rect_[2] = 1.0f + rect_[0];
    rect_[3] = 1.0f + rect_[1];
    return true;
  }
  bool GetInfo(lv::SourceInfo* info) override {
    *info = {};
    info->width = width_;
    info->height = height_;
    info->format = uint32_t(gfx::Format::A8R8G8B8);
    return true;
  }
  void SetVolume(int32_t) override {}
  void SetPan(int32_t) override {}
  bool Attach(uint8_t velocity) override {
    attachedWith = velocity;
    return true;
  }
  gfx::Texture* GetTexture() override { return texture_; }
  const float* GetTexelOffset() override { return rect_; }
  void Detach() override { ++detached; }
  void ReleaseDeviceObjects() override {
    if (texture_ != nullptr) texture_->Release();
    texture_ = nullptr;
  }
  void Restart() override { ++restarted; }
  bool Advance(uint32_t, bool* wrapped, bool* newFrame) override {
    *wrapped = false;
    *newFrame = true;
    return true;
  }

  uint8_t looped = 0;
  int attachedWith = -1;
  int detached = 0;
  int restarted = 0;

 private:
  uint32_t width_ = 0, height_ = 0;
  gfx::Texture* texture_ = nullptr;
  float rect_[4] = {};
};

class PatternKind final : public lv::SourceDesc {
 public:
  int32_t GetKind() override { return 1; }
  const lv::ClassId* GetClassId() override { return &kPatternId; }
  const char* GetCategory() override { return "Test"; }
  const char* GetName() override { return "Pattern"; }
  const char* GetDescription() override { return "Four solid quadrants"; }
  lv::Source* Create() override { return last = new PatternSource; }
  bool IsFileBased() override { return false; }
  bool IsAnimated() override { return false; }
  int32_t NumExtensions() override { return 0; }
  const char* Extension(int32_t) override { return nullptr; }
  const char* GetPrefix() override { return "Pattern"; }

  // The source made last, for tests that watch what the class does with it
  // (owned by the instance that opened it).
  PatternSource* last = nullptr;
};

}  // namespace pattern
