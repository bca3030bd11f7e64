#include <cstring>

#include "gl_device.h"

namespace gfx {

int DeclTypeSize(DeclType type) {
  switch (type) {
    case DeclType::Float1: return 4;
    case DeclType::Float2: return 8;
    case DeclType::Float3: return 12;
    case DeclType::Float4: return 16;
    case DeclType::Color: case DeclType::UByte4: case DeclType::UByte4N: case DeclType::Short2:
    case DeclType::Short2N: case DeclType::UShort2N: case DeclType::Float16_2: return 4;
    case DeclType::Short4: case DeclType::Short4N: case DeclType::UShort4N: case DeclType::Float16_4: return 8;
    case DeclType::Unused: return 0;
  }
  return 0;
}

GlVertexDeclaration::GlVertexDeclaration(GlDevice* device, std::vector<VertexElement> elements)
    : RefCounted(device), elements_(std::move(elements)) {}

GlVertexDeclaration::~GlVertexDeclaration() {
  DeviceScope scope(device_->Lock());
  device_->Forget(this);
}

Result GlVertexDeclaration::GetDeclaration(VertexElement* elements, uint32_t* count) {
  if (!count) return Result::InvalidCall;
  const uint32_t total = static_cast<uint32_t>(elements_.size()) + 1;
  if (elements) {
    if (*count < total) return Result::InvalidCall;
    std::memcpy(elements, elements_.data(), elements_.size() * sizeof(VertexElement));
    elements[elements_.size()] = kDeclEnd;
  }
  *count = total;
  return Result::Ok;
}

}  // namespace gfx
