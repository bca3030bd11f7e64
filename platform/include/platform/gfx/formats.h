#pragma once
// Pixel formats, memory pools, usage and lock flags of the device's resources.
#include <cstdint>

namespace gfx {

// Names follow Direct3D 9 (components listed from the high bits down, so
// A8R8G8B8 is the bytes B, G, R, A in memory). The numbers are our own.
enum class Format : uint32_t {
  Unknown,
  A8R8G8B8,
  X8R8G8B8,
  A8B8G8R8,
  X8B8G8R8,
  R8G8B8,
  R5G6B5,
  X1R5G5B5,
  A1R5G5B5,
  A8,
  L8,
  YUY2,   // packed 4:2:2, bytes Y0 U Y1 V
  UYVY,   // packed 4:2:2, bytes U Y0 V Y1
  R32F,
  G32R32F,
  A16B16G16R16F,
  A32B32G32R32F,
  D24S8,
  D16,
  Index16,
  Index32,
};

// Bytes per pixel (YUY2/UYVY: 2, averaged over a pixel pair); 0 for Unknown.
int BytesPerPixel(Format format);
bool IsDepthFormat(Format format);
const char* FormatName(Format format);

enum class Pool { Default, Managed, SystemMem, Scratch };

// Usage flags (a bit set).
namespace usage {
inline constexpr uint32_t None = 0;
inline constexpr uint32_t RenderTarget = 1u << 0;
inline constexpr uint32_t DepthStencil = 1u << 1;
inline constexpr uint32_t WriteOnly = 1u << 3;
inline constexpr uint32_t Dynamic = 1u << 9;
}  // namespace usage

// Lock flags (a bit set).
namespace lock {
inline constexpr uint32_t None = 0;
inline constexpr uint32_t ReadOnly = 1u << 4;
inline constexpr uint32_t NoSysLock = 1u << 11;
inline constexpr uint32_t NoOverwrite = 1u << 12;
inline constexpr uint32_t Discard = 1u << 13;
}  // namespace lock

enum class ResourceType { Surface, Texture, VertexBuffer, IndexBuffer };

}  // namespace gfx
