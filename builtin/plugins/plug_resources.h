#pragma once
// The built-in plug-ins' shaders and settings-dialog layouts: resources of
// the program ("SHADER" and "DIALOG"), the shaders compiled by the host for
// the current device.
#include <cstdint>
#include <memory>

#include "lv/lorvane_interface.h"
#include "platform/gfx/constant_table.h"
#include "platform/gfx/resources.h"
#include "platform/window/dialog_template.h"

namespace builtin {

const window::DialogTemplateSet& PlugDialogs();

struct VertexShaderObjects {
  gfx::Ref<gfx::VertexShader> shader;
  std::shared_ptr<gfx::ConstantTable> constants;
  explicit operator bool() const { return shader && constants; }
};

struct PixelShaderObjects {
  gfx::Ref<gfx::PixelShader> shader;
  std::shared_ptr<gfx::ConstantTable> constants;
  explicit operator bool() const { return shader && constants; }
};

// Entry `entry` of SHADER resource `resourceId`; a null profile takes the
// device's own. Empty when the text is missing or does not compile (the host
// has shown the compiler's message).
VertexShaderObjects CompileVertexShader(lv::LorvaneInterface* host, uint32_t resourceId, const char* entry,
                                        const char* profile = nullptr, uint32_t flags = 0);
PixelShaderObjects CompilePixelShader(lv::LorvaneInterface* host, uint32_t resourceId, const char* entry,
                                      const char* profile = nullptr, uint32_t flags = 0);

// A constant's handle, or the null handle when the table or the name is missing.
gfx::ConstantHandle FindConstant(const std::shared_ptr<gfx::ConstantTable>& table, const char* name);

}  // namespace builtin
