#pragma once
// The OpenGL implementations of the device's resources. Their methods take
// the device lock themselves; the Gl* helpers below expect it held.
#include <epoxy/gl.h>

#include <array>
#include <atomic>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/gfx/resources.h"
#include "platform/gfx/shader_code.h"

namespace gfx {

class GlDevice;
class GlTexture;

// Reference counting shared by the resources: each holds a reference on
// its device for as long as it lives.
template <class Base>
class RefCounted : public Base {
 public:
  uint32_t AddRef() override { return ++refs_; }
  uint32_t Release() override {
    const uint32_t n = --refs_;
    if (n == 0) delete this;
    return n;
  }
  Device* GetDevice() override;

 protected:
  explicit RefCounted(GlDevice* device);
  ~RefCounted() override;
  GlDevice* device_;

 private:
  std::atomic<uint32_t> refs_{1};
};

class GlSurface final : public Surface {
 public:
  // Who keeps the surface alive: itself (made by the device's Create*),
  // its texture (a level) or the device (back buffer, automatic depth buffer).
  enum class Owner { Self, Texture, Device };

  // GL storage when `texture` is non-zero, else CPU memory.
  GlSurface(GlDevice* device, Owner owner, GlTexture* parent, const SurfaceDesc& desc, GLuint texture, GLint level);
  ~GlSurface() override;

  uint32_t AddRef() override;
  uint32_t Release() override;
  Device* GetDevice() override;
  Result GetDesc(SurfaceDesc* desc) override;
  Result LockRect(LockedRect* locked, const Rect* rect, uint32_t flags) override;
  Result UnlockRect() override;

  const SurfaceDesc& Desc() const { return desc_; }
  bool IsCpu() const { return texture_ == 0; }
  GLuint GlTextureName() const { return texture_; }
  GLint Level() const { return level_; }
  int Pitch() const { return static_cast<int>(desc_.width) * BytesPerPixel(desc_.format); }
  uint8_t* CpuPixels() { return cpu_.data(); }
  GlTexture* Parent() const { return parent_; }

  // Lock held: the whole level in our CPU layout, and back.
  void Download(uint8_t* pixels);
  void Upload(const uint8_t* pixels, int pitch, const Rect& rect);

 private:
  GlDevice* device_;
  Owner owner_;
  GlTexture* parent_;
  SurfaceDesc desc_;
  GLuint texture_;
  GLint level_;
  std::vector<uint8_t> cpu_;      // CPU surfaces: the pixels
  std::vector<uint8_t> staging_;  // GL surfaces: the pixels while locked
  std::atomic<uint32_t> refs_;
  bool locked_ = false;
  Rect lockRect_;
  uint32_t lockFlags_ = 0;
};

class GlTexture final : public RefCounted<Texture> {
 public:
  GlTexture(GlDevice* device, uint32_t width, uint32_t height, uint32_t levels, uint32_t usage, Format format,
            Pool pool);
  ~GlTexture() override;
  Result Init();

  uint32_t GetLevelCount() override { return static_cast<uint32_t>(levels_.size()); }
  Result GetLevelDesc(uint32_t level, SurfaceDesc* desc) override;
  Result GetSurfaceLevel(uint32_t level, Surface** surface) override;
  Result LockRect(uint32_t level, LockedRect* locked, const Rect* rect, uint32_t flags) override;
  Result UnlockRect(uint32_t level) override;
  Result AddDirtyRect(const Rect*) override { return Result::Ok; }

  GLuint GlName() const { return gl_; }
  bool IsCpu() const { return gl_ == 0; }
  GlSurface* LevelSurface(uint32_t level) { return level < levels_.size() ? levels_[level].get() : nullptr; }
  Format GetFormat() const { return format_; }

 private:
  uint32_t width_, height_, levelCount_, usage_;
  Format format_;
  Pool pool_;
  GLuint gl_ = 0;
  std::vector<std::unique_ptr<GlSurface>> levels_;
};

// A GL buffer with a CPU copy that Lock hands out and Unlock uploads.
class GlBufferStore {
 public:
  ~GlBufferStore();
  bool Init(uint32_t size);
  void Free();  // lock held
  Result Lock(uint32_t offset, uint32_t size, void** data, uint32_t flags);
  Result Unlock();
  GLuint GlName() const { return gl_; }
  uint32_t Size() const { return static_cast<uint32_t>(cpu_.size()); }

 private:
  GLuint gl_ = 0;
  std::vector<uint8_t> cpu_;
  bool locked_ = false;
  uint32_t lockOffset_ = 0, lockSize_ = 0, lockFlags_ = 0;
};

class GlVertexBuffer final : public RefCounted<VertexBuffer> {
 public:
  GlVertexBuffer(GlDevice* device, uint32_t size, uint32_t usage, Pool pool);
  ~GlVertexBuffer() override;
  bool Init() { return store_.Init(desc_.size); }
  Result Lock(uint32_t offset, uint32_t size, void** data, uint32_t flags) override;
  Result Unlock() override;
  Result GetDesc(VertexBufferDesc* desc) override { *desc = desc_; return Result::Ok; }
  GLuint GlName() const { return store_.GlName(); }

 private:
  VertexBufferDesc desc_;
  GlBufferStore store_;
};

class GlIndexBuffer final : public RefCounted<IndexBuffer> {
 public:
  GlIndexBuffer(GlDevice* device, uint32_t size, uint32_t usage, Format format, Pool pool);
  ~GlIndexBuffer() override;
  bool Init() { return store_.Init(desc_.size); }
  Result Lock(uint32_t offset, uint32_t size, void** data, uint32_t flags) override;
  Result Unlock() override;
  Result GetDesc(IndexBufferDesc* desc) override { *desc = desc_; return Result::Ok; }
  GLuint GlName() const { return store_.GlName(); }
  Format IndexFormat() const { return desc_.format; }

 private:
  IndexBufferDesc desc_;
  GlBufferStore store_;
};

class GlVertexDeclaration final : public RefCounted<VertexDeclaration> {
 public:
  GlVertexDeclaration(GlDevice* device, std::vector<VertexElement> elements);
  ~GlVertexDeclaration() override;
  Result GetDeclaration(VertexElement* elements, uint32_t* count) override;
  const std::vector<VertexElement>& Elements() const { return elements_; }  // without the end marker

 private:
  std::vector<VertexElement> elements_;
};

// A compiled GL shader object of one stage, with what program linking needs.
struct GlStageShader {
  ShaderCode code;
  GLuint shader = 0;
  // pixel: the variants with the alpha test, for points, and both (in that
  // order), made on first use
  std::array<GLuint, 3> variants{};
  uint64_t id = 0;                               // unique per device, for the program cache
  std::map<int, std::string> outputTypes;        // vertex: GLSL type of each out location
};

class GlVertexShader final : public RefCounted<VertexShader> {
 public:
  GlVertexShader(GlDevice* device, GlStageShader stage);
  ~GlVertexShader() override;
  const ShaderCode& GetCode() override { return stage_.code; }
  const GlStageShader& Stage() const { return stage_; }

 private:
  GlStageShader stage_;
};

class GlPixelShader final : public RefCounted<PixelShader> {
 public:
  GlPixelShader(GlDevice* device, GlStageShader stage);
  ~GlPixelShader() override;
  const ShaderCode& GetCode() override { return stage_.code; }
  const GlStageShader& Stage() const { return stage_; }
  GlStageShader& Stage() { return stage_; }

 private:
  GlStageShader stage_;
};

}  // namespace gfx
