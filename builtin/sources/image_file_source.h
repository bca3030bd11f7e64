#pragma once
// One still image file as a source, found by its extension ("bmp", "dds",
// "jpg", "png", "ppm", "tga").
#include "lv/source.h"
#include "lv/source_desc.h"
#include "platform/gfx/resources.h"
#include "sources/texel_rect.h"

namespace builtin {

class ImageFileSource final : public lv::Source {
 public:
  static const lv::ClassId kClassId;

  ImageFileSource() = default;
  ~ImageFileSource() override = default;

  int32_t GetKind() override { return 1; }
  const lv::ClassId* GetClassId() override { return &kClassId; }
  uint8_t SetOption0(uint8_t value) override { return value; }
  uint8_t SetOption1(uint8_t value) override { return value; }
  uint8_t SetOption2(uint8_t value) override { return value; }
  // Loads the file with its full mip chain; false (and a log line) when it is
  // missing or cannot be read.
  bool Open(const char* name) override;
  bool GetInfo(lv::SourceInfo* info) override;
  void SetVolume(int32_t) override {}
  void SetPan(int32_t) override {}
  bool Attach(uint8_t) override { return true; }
  gfx::Texture* GetTexture() override { return texture_.get(); }
  const float* GetTexelOffset() override { return rect_.uv; }
  void Detach() override {}
  // The image stays gone until it is opened again.
  void ReleaseDeviceObjects() override { texture_ = {}; }
  void Restart() override {}
  bool Advance(uint32_t milliseconds, bool* wrapped, bool* newFrame) override;

 private:
  uint32_t width_ = 0;
  uint32_t height_ = 0;
  uint32_t format_ = 0;  // the file's own pixel format
  TexelRect rect_;
  gfx::Ref<gfx::Texture> texture_;
};

class ImageFileSourceDesc final : public lv::SourceDesc {
 public:
  int32_t GetKind() override { return 1; }
  const lv::ClassId* GetClassId() override { return &ImageFileSource::kClassId; }
  const char* GetCategory() override { return "Image"; }
  const char* GetName() override { return "Images"; }
  const char* GetDescription() override { return "Image File Source"; }
  lv::Source* Create() override;
  bool IsFileBased() override { return true; }
  bool IsAnimated() override { return false; }
  int32_t NumExtensions() override;
  const char* Extension(int32_t i) override;
  const char* GetPrefix() override { return nullptr; }
};

// The program's one image kind (a static object), registered with the
// built-in kinds.
lv::SourceDesc* ImageFileSourceDescriptor();

}  // namespace builtin
