#pragma once
// A source kind for drawing tests whose frame is a picture the test makes:
// "<name>:" opens it, the texture is made through the host like any
// source's and sampled from texel centres.
#include <algorithm>
#include <cstdint>
#include <vector>

#include "lv/lorvane_interface.h"
#include "lv/source_desc.h"
#include "platform/gfx/resources.h"

namespace gfx::test {

struct Picture {
  uint32_t width = 0;
  uint32_t height = 0;
  std::vector<uint32_t> pixels;  // 0xAARRGGBB, rows top first
};

// Asked for the picture at every Open, so a test may change it between notes.
using PictureMaker = Picture (*)();

class PictureSource final : public lv::Source {
 public:
  PictureSource(const lv::ClassId& id, PictureMaker make) : id_(id), make_(make) {}
  ~PictureSource() override { ReleaseDeviceObjects(); }

  int32_t GetKind() override { return 1; }
  const lv::ClassId* GetClassId() override { return &id_; }
  uint8_t SetOption0(uint8_t v) override { return v; }
  uint8_t SetOption1(uint8_t v) override { return v; }
  uint8_t SetOption2(uint8_t v) override { return v; }
  bool Open(const char*) override {
    picture_ = make_();
    const uint32_t width = picture_.width, height = picture_.height;
    texture_ = host->CreateTexture(width, height, gfx::Format::A8R8G8B8, gfx::usage::None, gfx::Pool::Managed);
    gfx::LockedRect locked;
    if (texture_ == nullptr || gfx::Failed(texture_->LockRect(0, &locked, nullptr, gfx::lock::Discard))) return false;
    for (uint32_t y = 0; y < height; ++y) {
      std::copy_n(picture_.pixels.data() + y * width, width,
                  reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(locked.bits) + y * locked.pitch));
    }
    texture_->UnlockRect(0);
    rect_[0] = 0.5f / float(width);
    rect_[1] = 0.5f / float(height);
    rect_[2] = 1.0f + rect_[0];
    rect_[3] = 1.0f + rect_[1];
    return true;
  }
  bool GetInfo(lv::SourceInfo* info) override {
    *info = {};
    info->width = picture_.width;
    info->height = picture_.height;
    info->format = uint32_t(gfx::Format::A8R8G8B8);
    return true;
  }
  void SetVolume(int32_t) override {}
  void SetPan(int32_t) override {}
  bool Attach(uint8_t) override { return true; }
  gfx::Texture* GetTexture() override { return texture_; }
  const float* GetTexelOffset() override { return rect_; }
  void Detach() override {}
  void ReleaseDeviceObjects() override {
    if (texture_ != nullptr) texture_->Release();
    texture_ = nullptr;
  }
  void Restart() override {}
  bool Advance(uint32_t, bool* wrapped, bool* newFrame) override {
    *wrapped = false;
    *newFrame = true;
    return true;
  }

 private:
  lv::ClassId id_;
  PictureMaker make_;
  Picture picture_;
  gfx::Texture* texture_ = nullptr;
  float rect_[4] = {};
};

class PictureKind final : public lv::SourceDesc {
 public:
  PictureKind(const lv::ClassId& id, const char* name, const char* description, PictureMaker make)
      : id_(id), name_(name), description_(description), make_(make) {}

  int32_t GetKind() override { return 1; }
  const lv::ClassId* GetClassId() override { return &id_; }
  const char* GetCategory() override { return "Test"; }
  const char* GetName() override { return name_; }
  const char* GetDescription() override { return description_; }
  lv::Source* Create() override { return new PictureSource(id_, make_); }
  bool IsFileBased() override { return false; }
  bool IsAnimated() override { return false; }
  int32_t NumExtensions() override { return 0; }
  const char* Extension(int32_t) override { return nullptr; }
  const char* GetPrefix() override { return name_; }

 private:
  lv::ClassId id_;
  const char* name_;
  const char* description_;
  PictureMaker make_;
};

}  // namespace gfx::test
