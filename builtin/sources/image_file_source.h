#pragma once
// One still image file as a source, found by its extension ("bmp", "dds",
// "jpg", "png", "ppm", "tga").
#include "lv/source_desc.h"
#include "platform/gfx/resources.h"
#include "sources/frame_source.h"

namespace builtin {

class ImageFileSource final : public FrameSource {
 public:
  static const lv::ClassId kClassId;

  ImageFileSource() = default;
  ~ImageFileSource() override = default;

  const lv::ClassId* GetClassId() override { return &kClassId; }
  // Loads the file with its full mip chain; false (and a log line) when it is
  // missing or cannot be read.
  bool Open(const char* name) override;
  gfx::Texture* GetTexture() override { return texture_.get(); }
  // The image stays gone until it is opened again.
  void ReleaseDeviceObjects() override { texture_ = {}; }
  bool Advance(uint32_t milliseconds, bool* wrapped, bool* newFrame) override;

 private:
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
