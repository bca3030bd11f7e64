#pragma once
// The library's shaders: HLSL texts kept as "SHADER" resources of this
// library, compiled by the host for the current device.
#include <cstdint>
#include <memory>

#include "lv/lorvane_interface.h"
#include "platform/gfx/constant_table.h"
#include "platform/gfx/resources.h"

namespace kestrix {

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

// Entry point `entry` of SHADER resource `resourceId`, with the device's own
// profile. Empty when the text is missing or does not compile (the host has
// shown the compiler's message).
VertexShaderObjects CompileVertexShader(lv::LorvaneInterface* host, uint32_t resourceId, const char* entry);
PixelShaderObjects CompilePixelShader(lv::LorvaneInterface* host, uint32_t resourceId, const char* entry);

// A constant's handle, or the null handle when the table or the name is missing.
gfx::ConstantHandle FindConstant(const std::shared_ptr<gfx::ConstantTable>& table, const char* name);

}  // namespace kestrix
