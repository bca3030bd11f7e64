#pragma once
// A frame buffer as a source: what was drawn before the consumer this frame,
// copied into a texture at every Advance. The "FrameBuffer" kind copies the
// surface the current note draws into; each work buffer has a kind of its
// own ("Work 1", ...) that copies that buffer.
#include <cstdint>
#include <memory>

#include "platform/gfx/resources.h"
#include "sources/frame_source.h"
#include "sources/named_source_kind.h"

namespace builtin {

// A work buffer as the frame-buffer source reads it.
class CopiedBuffer {
 public:
  virtual ~CopiedBuffer() = default;
  virtual uint32_t Width() = 0;
  virtual uint32_t Height() = 0;
  virtual gfx::Format Format() = 0;
  // Level 0 of the buffer's texture, no reference added; null when it has none.
  virtual gfx::Surface* Surface() = 0;
};

// The copy textures of one buffer, shared by every source of that buffer:
// one of the source's exact size and one of power-of-two size, each made by
// the first Attach and released by the last Detach. Kept per buffer, so two
// buffers read in one frame give two pictures.
struct FrameBufferShare {
  struct Slot {
    gfx::Ref<gfx::Texture> texture;
    uint32_t uses = 0;
  };
  CopiedBuffer* buffer = nullptr;  // null: the current target
  bool gone = false;               // the buffer was destroyed
  Slot exact;
  Slot powerOfTwo;
};

class FrameBufferSource final : public FrameSource {
 public:
  static const lv::ClassId kClassId;

  explicit FrameBufferSource(std::shared_ptr<FrameBufferShare> share) : share_(std::move(share)) {}
  // Gives back the uses this instance still holds.
  ~FrameBufferSource() override;

  const lv::ClassId* GetClassId() override { return &kClassId; }
  bool CanHoldNote() override { return true; }
  // Non-zero: a power-of-two texture even where the device takes any size.
  uint8_t SetOption2(uint8_t value) override { return powerOfTwo_ = value; }
  bool Open(const char* name) override;
  // The buffer's size and format as they are now.
  bool GetInfo(lv::SourceInfo* info) override;
  bool Attach(uint8_t velocity) override;
  gfx::Texture* GetTexture() override;
  void Detach() override;
  bool Advance(uint32_t milliseconds, bool* wrapped, bool* newFrame) override;

  uint32_t TextureWidth() const { return textureWidth_; }
  uint32_t TextureHeight() const { return textureHeight_; }

 private:
  FrameBufferShare::Slot& Chosen() const { return powerOfTwo_ != 0 ? share_->powerOfTwo : share_->exact; }
  uint32_t TextureSide(uint32_t sourceSide);

  std::shared_ptr<FrameBufferShare> share_;
  uint8_t powerOfTwo_ = 0;
  uint32_t attachments_ = 0;  // uses of Chosen() this instance holds
  uint32_t textureWidth_ = 0;
  uint32_t textureHeight_ = 0;
};

class FrameBufferDesc : public NamedSourceKind<64> {
 public:
  // `buffer` null: the current target.
  FrameBufferDesc(const char* name, CopiedBuffer* buffer);
  // Sources still open on a work buffer find it gone and show nothing.
  ~FrameBufferDesc() override;

  const lv::ClassId* GetClassId() override { return &FrameBufferSource::kClassId; }
  const char* GetCategory() override { return "Video"; }
  const char* GetName() override { return "FrameBuffer"; }
  lv::Source* Create() override;

 private:
  std::shared_ptr<FrameBufferShare> share_;
};

// The "FrameBuffer" kind of the current target (a static object),
// registered with the built-in kinds.
lv::SourceDesc* FrameBufferSourceDescriptor();

}  // namespace builtin
