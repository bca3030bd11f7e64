#pragma once
// How a 2D effect draws its source: a quad of the source's frame, centred
// on the target, through an orthographic projection in which one unit is
// one target pixel.
#include "lv/source.h"
#include "platform/d3dx/math.h"
#include "platform/gfx/device.h"
#include "platform/gfx/resources.h"

namespace kestrix {

// Position (three floats) and one texture coordinate pair: 20 bytes.
struct QuadVertex {
  float x, y, z;
  float u, v;
};
static_assert(sizeof(QuadVertex) == 20);

// The declaration of `elements` (ending with kDeclEnd), owned by the caller;
// null without a device or on failure.
gfx::VertexDeclaration* CreateDeclaration(gfx::Device* device, const gfx::VertexElement* elements);

// The declaration of QuadVertex, owned by the caller; null on failure.
gfx::VertexDeclaration* CreateQuadDeclaration(gfx::Device* device);

// Position and two texture coordinate pairs (sets 0 and 1, 28 bytes a
// vertex), for quads that read two textures; owned by the caller, null on
// failure.
gfx::VertexDeclaration* CreateTwoSetDeclaration(gfx::Device* device);

// Half extents of the quad: the target's with `stretch`, else the frame's own
// size (shown at its pixel size).
struct HalfExtents {
  float width = 0;
  float height = 0;
};
HalfExtents QuadHalfExtents(bool stretch, uint32_t targetWidth, uint32_t targetHeight, const lv::SourceInfo& frame);

// The projection of a target of that size (near plane 0, far plane 2).
d3dx::Matrix TargetProjection(uint32_t targetWidth, uint32_t targetHeight);

// Draws the quad at depth z as a fan of two triangles with the texture
// rectangle (left u, top v, right u, bottom v).
void DrawQuad(gfx::Device* device, HalfExtents half, const float* texelRect, float z = 1.0f);

}  // namespace kestrix
