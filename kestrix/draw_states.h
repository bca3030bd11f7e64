#pragma once
// The device states the flat 2D effects set around a draw, and
// what they leave behind for the frame loop: no shaders, stage 0 empty,
// blending off, depth writes on.
#include "platform/gfx/device.h"
#include "source_quad.h"

namespace kestrix {

// Stage `stage` samples `texture` with the same addressing in U and V.
void BindStage(gfx::Device* device, uint32_t stage, gfx::Texture* texture, gfx::Address address,
               gfx::Filter magFilter, gfx::Filter minFilter);
inline void BindStage(gfx::Device* device, uint32_t stage, gfx::Texture* texture, gfx::Address address,
                      gfx::Filter filter) {
  BindStage(device, stage, texture, address, filter, filter);
}

// Blending with source alpha over `destination` (inverse source alpha or one).
void SetBlending(gfx::Device* device, bool on, gfx::Blend destination = gfx::Blend::InvSrcAlpha);

// Culling off and depth writes off for a flat quad.
void BeginFlatDraw(gfx::Device* device);

// The source quad with `declaration` and the two shaders bound (they stay
// bound until EndFlatDraw).
void DrawQuadWith(gfx::Device* device, gfx::VertexDeclaration* declaration, gfx::VertexShader* vertexShader,
                  gfx::PixelShader* pixelShader, HalfExtents half, const float* texelRect, float z = 1.0f);
// Unbinds the shaders and stages 0 .. stages-1; blending off, depth writes on.
void EndFlatDraw(gfx::Device* device, uint32_t stages = 1);

// A frame shown at its own size maps texel to pixel and needs no filtering;
// a stretched frame of another size does.
inline gfx::Filter SourceFilter(bool stretch, bool sizeDiffers) {
  return stretch && sizeDiffers ? gfx::Filter::Linear : gfx::Filter::Point;
}

// The key of the keyed effects from their Key Red, Grn, Blue and Dist knobs
// (0 .. 255 each): the colour with alpha 1 and its distance.
struct ColorKey {
  float color[4];
  float distance;
};
inline ColorKey KeyFromKnobs(const int32_t* knobs) {
  return {{float(knobs[0]) / 255.0f, float(knobs[1]) / 255.0f, float(knobs[2]) / 255.0f, 1.0f},
          float(knobs[3]) / 145.0f};
}

}  // namespace kestrix
