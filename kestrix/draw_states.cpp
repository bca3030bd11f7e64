#include "draw_states.h"

namespace kestrix {

void BindStage(gfx::Device* device, uint32_t stage, gfx::Texture* texture, gfx::Address address,
               gfx::Filter magFilter, gfx::Filter minFilter) {
  device->SetTexture(stage, texture);
  device->SetSamplerState(stage, gfx::SamplerState::AddressU, uint32_t(address));
  device->SetSamplerState(stage, gfx::SamplerState::AddressV, uint32_t(address));
  device->SetSamplerState(stage, gfx::SamplerState::MagFilter, uint32_t(magFilter));
  device->SetSamplerState(stage, gfx::SamplerState::MinFilter, uint32_t(minFilter));
}

void SetBlending(gfx::Device* device, bool on, gfx::Blend destination) {
  if (on) {
    device->SetRenderState(gfx::RenderState::SrcBlend, uint32_t(gfx::Blend::SrcAlpha));
    device->SetRenderState(gfx::RenderState::DestBlend, uint32_t(destination));
  }
  device->SetRenderState(gfx::RenderState::AlphaBlendEnable, on ? 1 : 0);
}

void BeginFlatDraw(gfx::Device* device) {
  device->SetRenderState(gfx::RenderState::CullMode, uint32_t(gfx::Cull::None));
  device->SetRenderState(gfx::RenderState::ZWriteEnable, 0);
}

void DrawQuadWith(gfx::Device* device, gfx::VertexDeclaration* declaration, gfx::VertexShader* vertexShader,
                  gfx::PixelShader* pixelShader, HalfExtents half, const float* texelRect, float z) {
  device->SetVertexDeclaration(declaration);
  device->SetVertexShader(vertexShader);
  device->SetPixelShader(pixelShader);
  DrawQuad(device, half, texelRect, z);
}

void EndFlatDraw(gfx::Device* device, uint32_t stages) {
  device->SetVertexShader(nullptr);
  device->SetPixelShader(nullptr);
  for (uint32_t stage = 0; stage < stages; ++stage) device->SetTexture(stage, nullptr);
  device->SetRenderState(gfx::RenderState::AlphaBlendEnable, 0);
  device->SetRenderState(gfx::RenderState::ZWriteEnable, 1);
}

}  // namespace kestrix
