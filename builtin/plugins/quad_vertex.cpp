#include "plugins/quad_vertex.h"

namespace builtin {

gfx::VertexDeclaration* CreateQuadDeclaration(gfx::Device* device) {
  if (device == nullptr) return nullptr;
  const gfx::VertexElement elements[] = {
      {0, 0, gfx::DeclType::Float3, gfx::DeclUsage::Position, 0},
      {0, 12, gfx::DeclType::Float2, gfx::DeclUsage::TexCoord, 0},
      gfx::kDeclEnd,
  };
  gfx::VertexDeclaration* declaration = nullptr;
  if (gfx::Failed(device->CreateVertexDeclaration(elements, &declaration))) return nullptr;
  return declaration;
}

}  // namespace builtin
