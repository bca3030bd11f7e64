#pragma once
// What a device can do, as the system reads it.
#include <cstdint>

namespace gfx {

namespace texturecaps {
inline constexpr uint32_t Pow2 = 1u << 1;                 // sizes must be powers of two...
inline constexpr uint32_t NonPow2Conditional = 1u << 8;   // ...except under the usual conditions
}  // namespace texturecaps

struct DeviceCaps {
  uint32_t textureCaps = 0;          // texturecaps bits (0: any size)
  uint32_t maxTextureWidth = 0;
  uint32_t maxTextureHeight = 0;
  uint32_t maxSimultaneousTextures = 0;
  uint32_t maxStreams = 0;
  uint32_t maxPrimitiveCount = 0;
  uint32_t maxVertexIndex = 0;
  uint32_t numSimultaneousRTs = 0;
  uint32_t maxVertexShaderConst = 0;
  int vertexShaderMajor = 0, vertexShaderMinor = 0;
  int pixelShaderMajor = 0, pixelShaderMinor = 0;
};

// The best profiles the device runs: "vs_3_0", "ps_3_0".
const char* VertexShaderProfile(const DeviceCaps& caps);
const char* PixelShaderProfile(const DeviceCaps& caps);

}  // namespace gfx
