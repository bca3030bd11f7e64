#pragma once
// What the built-in plug-ins draw with: vertices of a position and one
// texture coordinate pair, and the projection in which one unit is one
// target pixel, (0, 0) the target's centre and y up.
#include <cstdint>

#include "platform/d3dx/math.h"
#include "platform/gfx/device.h"

namespace builtin {

struct QuadVertex {
  float x, y, z;
  float u, v;
};
static_assert(sizeof(QuadVertex) == 20);

// The declaration of QuadVertex (FLOAT3 POSITION at 0, FLOAT2 TEXCOORD0 at
// 12), owned by the caller; null on failure.
gfx::VertexDeclaration* CreateQuadDeclaration(gfx::Device* device);

// Near plane 0, far plane 2.
inline d3dx::Matrix TargetProjection(uint32_t targetWidth, uint32_t targetHeight) {
  return d3dx::MatrixOrthoLH(float(targetWidth), float(targetHeight), 0.0f, 2.0f);
}

}  // namespace builtin
