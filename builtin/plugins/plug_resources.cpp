#include "plugins/plug_resources.h"

#include "platform/sys/resources.h"
#include "platform/window/kit/dialog_layout.h"

namespace builtin {
namespace {

bool DescribeShader(uint32_t resourceId, const char* entry, const char* profile, uint32_t flags,
                    lv::ShaderDesc* desc, std::shared_ptr<gfx::ConstantTable>* table) {
  const sys::Resource text = sys::FindResource(sys::kResourceShader, resourceId);
  if (!text) return false;
  desc->source = reinterpret_cast<const char*>(text.data);
  desc->length = uint32_t(text.size);
  desc->entry = entry;
  desc->profile = profile;
  desc->flags = flags;
  desc->constantTable = table;
  return true;
}

}  // namespace

const window::DialogTemplateSet& PlugDialogs() {
  static const window::DialogTemplateSet layouts = kit::LoadDialogLayouts(sys::ThisModuleResources());
  return layouts;
}

VertexShaderObjects CompileVertexShader(lv::LorvaneInterface* host, uint32_t resourceId, const char* entry,
                                        const char* profile, uint32_t flags) {
  VertexShaderObjects objects;
  lv::ShaderDesc desc;
  if (host == nullptr || !DescribeShader(resourceId, entry, profile, flags, &desc, &objects.constants)) return {};
  objects.shader = gfx::Ref<gfx::VertexShader>(host->CompileVertexShader(&desc));
  if (!objects) return {};
  return objects;
}

PixelShaderObjects CompilePixelShader(lv::LorvaneInterface* host, uint32_t resourceId, const char* entry,
                                      const char* profile, uint32_t flags) {
  PixelShaderObjects objects;
  lv::ShaderDesc desc;
  if (host == nullptr || !DescribeShader(resourceId, entry, profile, flags, &desc, &objects.constants)) return {};
  objects.shader = gfx::Ref<gfx::PixelShader>(host->CompilePixelShader(&desc));
  if (!objects) return {};
  return objects;
}

gfx::ConstantHandle FindConstant(const std::shared_ptr<gfx::ConstantTable>& table, const char* name) {
  return table ? table->GetConstantByName(name) : gfx::ConstantHandle{};
}

}  // namespace builtin
