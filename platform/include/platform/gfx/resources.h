#pragma once
// Device resources: reference counted like COM objects. An object is made
// with one reference; AddRef adds one, Release drops one and destroys the
// object at zero (both return the new count). Every call is safe from any
// thread (the device lock serialises them).
#include <cstdint>

#include "platform/gfx/formats.h"
#include "platform/gfx/result.h"

namespace gfx {

class Device;

struct Rect {
  int32_t left = 0, top = 0, right = 0, bottom = 0;
  int32_t Width() const { return right - left; }
  int32_t Height() const { return bottom - top; }
};

class Resource {
 public:
  virtual uint32_t AddRef() = 0;
  virtual uint32_t Release() = 0;
  // The device that made the object (no reference added).
  virtual Device* GetDevice() = 0;

 protected:
  virtual ~Resource() = default;
};

struct SurfaceDesc {
  Format format = Format::Unknown;
  ResourceType type = ResourceType::Surface;
  uint32_t usage = usage::None;
  Pool pool = Pool::Default;
  uint32_t width = 0;
  uint32_t height = 0;
};

struct LockedRect {
  int32_t pitch = 0;   // bytes from one row to the next
  void* bits = nullptr;
};

class Surface : public Resource {
 public:
  virtual Result GetDesc(SurfaceDesc* desc) = 0;
  // Maps the pixels (all of them with rect null) in the format's memory
  // layout, row 0 at the top. Flags: lock::ReadOnly, lock::Discard.
  virtual Result LockRect(LockedRect* locked, const Rect* rect, uint32_t flags) = 0;
  virtual Result UnlockRect() = 0;
};

class Texture : public Resource {
 public:
  virtual uint32_t GetLevelCount() = 0;
  virtual Result GetLevelDesc(uint32_t level, SurfaceDesc* desc) = 0;
  // Adds a reference to the returned surface.
  virtual Result GetSurfaceLevel(uint32_t level, Surface** surface) = 0;
  virtual Result LockRect(uint32_t level, LockedRect* locked, const Rect* rect, uint32_t flags) = 0;
  virtual Result UnlockRect(uint32_t level) = 0;
  // The whole texture is uploaded at unlock anyway; kept for callers.
  virtual Result AddDirtyRect(const Rect* rect) = 0;
};

struct VertexBufferDesc {
  uint32_t size = 0;
  uint32_t usage = usage::None;
  Pool pool = Pool::Default;
};

class VertexBuffer : public Resource {
 public:
  // offset and size 0 lock the whole buffer.
  virtual Result Lock(uint32_t offset, uint32_t size, void** data, uint32_t flags) = 0;
  virtual Result Unlock() = 0;
  virtual Result GetDesc(VertexBufferDesc* desc) = 0;
};

struct IndexBufferDesc {
  Format format = Format::Index16;
  uint32_t size = 0;
  uint32_t usage = usage::None;
  Pool pool = Pool::Default;
};

class IndexBuffer : public Resource {
 public:
  virtual Result Lock(uint32_t offset, uint32_t size, void** data, uint32_t flags) = 0;
  virtual Result Unlock() = 0;
  virtual Result GetDesc(IndexBufferDesc* desc) = 0;
};

enum class DeclType : uint8_t {
  Float1, Float2, Float3, Float4,
  Color,    // D3DCOLOR: bytes B, G, R, A read as (R, G, B, A) 0..1
  UByte4, Short2, Short4, UByte4N, Short2N, Short4N, UShort2N, UShort4N,
  Float16_2, Float16_4,
  Unused,
};
enum class DeclUsage : uint8_t {
  Position, BlendWeight, BlendIndices, Normal, PSize, TexCoord, Tangent, Binormal,
  TessFactor, PositionT, Color, Fog, Depth, Sample
};

struct VertexElement {
  uint16_t stream = 0;
  uint16_t offset = 0;
  DeclType type = DeclType::Float3;
  DeclUsage usage = DeclUsage::Position;
  uint8_t usageIndex = 0;
};
// Ends an element list given to CreateVertexDeclaration.
inline constexpr VertexElement kDeclEnd{0xFF, 0, DeclType::Unused, DeclUsage::Position, 0};
int DeclTypeSize(DeclType type);

class VertexDeclaration : public Resource {
 public:
  // Writes up to *count elements (end marker included) and sets *count to
  // the number the declaration has.
  virtual Result GetDeclaration(VertexElement* elements, uint32_t* count) = 0;
};

struct ShaderCode;

class VertexShader : public Resource {
 public:
  virtual const ShaderCode& GetCode() = 0;
};

class PixelShader : public Resource {
 public:
  virtual const ShaderCode& GetCode() = 0;
};

// Holds a reference and releases it: for callers that want scoped ownership.
template <class T>
class Ref {
 public:
  Ref() = default;
  explicit Ref(T* adopted) : p_(adopted) {}
  Ref(const Ref& o) : p_(o.p_) { if (p_) p_->AddRef(); }
  Ref(Ref&& o) noexcept : p_(o.p_) { o.p_ = nullptr; }
  Ref& operator=(Ref o) noexcept { T* t = p_; p_ = o.p_; o.p_ = t; return *this; }
  ~Ref() { if (p_) p_->Release(); }
  T* get() const { return p_; }
  T* operator->() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }
  // For out-parameters: releases what is held and gives the slot.
  T** put() { if (p_) p_->Release(); p_ = nullptr; return &p_; }

 private:
  T* p_ = nullptr;
};

}  // namespace gfx
