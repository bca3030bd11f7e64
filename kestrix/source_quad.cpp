#include "source_quad.h"

namespace kestrix {

gfx::VertexDeclaration* CreateDeclaration(gfx::Device* device, const gfx::VertexElement* elements) {
  if (device == nullptr) return nullptr;
  gfx::VertexDeclaration* declaration = nullptr;
  if (gfx::Failed(device->CreateVertexDeclaration(elements, &declaration))) return nullptr;
  return declaration;
}

gfx::VertexDeclaration* CreateQuadDeclaration(gfx::Device* device) {
  static const gfx::VertexElement kElements[] = {
      {0, 0, gfx::DeclType::Float3, gfx::DeclUsage::Position, 0},
      {0, 12, gfx::DeclType::Float2, gfx::DeclUsage::TexCoord, 0},
      gfx::kDeclEnd,
  };
  return CreateDeclaration(device, kElements);
}

gfx::VertexDeclaration* CreateTwoSetDeclaration(gfx::Device* device) {
  static const gfx::VertexElement kElements[] = {
      {0, 0, gfx::DeclType::Float3, gfx::DeclUsage::Position, 0},
      {0, 12, gfx::DeclType::Float2, gfx::DeclUsage::TexCoord, 0},
      {0, 20, gfx::DeclType::Float2, gfx::DeclUsage::TexCoord, 1},
      gfx::kDeclEnd,
  };
  return CreateDeclaration(device, kElements);
}

HalfExtents QuadHalfExtents(bool stretch, uint32_t targetWidth, uint32_t targetHeight, const lv::SourceInfo& frame) {
  if (stretch) return {float(targetWidth) * 0.5f, float(targetHeight) * 0.5f};
  return {float(frame.width) * 0.5f, float(frame.height) * 0.5f};
}

d3dx::Matrix TargetProjection(uint32_t targetWidth, uint32_t targetHeight) {
  return d3dx::MatrixOrthoLH(float(targetWidth), float(targetHeight), 0.0f, 2.0f);
}

void DrawQuad(gfx::Device* device, HalfExtents half, const float* texelRect, float z) {
  static constexpr float kWholeTexture[4] = {0.0f, 0.0f, 1.0f, 1.0f};
  const float* r = texelRect != nullptr ? texelRect : kWholeTexture;
  const float w = half.width, h = half.height;
  const QuadVertex vertices[4] = {
      {-w, +h, z, r[0], r[1]},
      {+w, +h, z, r[2], r[1]},
      {+w, -h, z, r[2], r[3]},
      {-w, -h, z, r[0], r[3]},
  };
  device->DrawPrimitiveUP(gfx::PrimitiveType::TriangleFan, 2, vertices, sizeof(QuadVertex));
}

}  // namespace kestrix
