#include "shader_objects.h"

#include "platform/sys/resources.h"

namespace kestrix {
namespace {

// Looked up in this library's own resources, never the program's.
bool DescribeShader(uint32_t resourceId, const char* entry, lv::ShaderDesc* desc,
                    std::shared_ptr<gfx::ConstantTable>* table) {
  const sys::Resource text = sys::FindResource(sys::kResourceShader, resourceId);
  if (!text) return false;
  desc->source = reinterpret_cast<const char*>(text.data);
  desc->length = uint32_t(text.size);
  desc->entry = entry;
  desc->constantTable = table;
  return true;
}

}  // namespace

VertexShaderObjects CompileVertexShader(lv::LorvaneInterface* host, uint32_t resourceId, const char* entry) {
  VertexShaderObjects objects;
  lv::ShaderDesc desc;
  if (host == nullptr || !DescribeShader(resourceId, entry, &desc, &objects.constants)) return {};
  objects.shader = gfx::Ref<gfx::VertexShader>(host->CompileVertexShader(&desc));
  if (!objects) return {};
  return objects;
}

PixelShaderObjects CompilePixelShader(lv::LorvaneInterface* host, uint32_t resourceId, const char* entry) {
  PixelShaderObjects objects;
  lv::ShaderDesc desc;
  if (host == nullptr || !DescribeShader(resourceId, entry, &desc, &objects.constants)) return {};
  objects.shader = gfx::Ref<gfx::PixelShader>(host->CompilePixelShader(&desc));
  if (!objects) return {};
  return objects;
}

gfx::ConstantHandle FindConstant(const std::shared_ptr<gfx::ConstantTable>& table, const char* name) {
  return table ? table->GetConstantByName(name) : gfx::ConstantHandle{};
}

}  // namespace kestrix
