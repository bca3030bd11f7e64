#pragma once
// SPIR-V from the HLSL front end -> GLSL for the device, patched to behave as
// Direct3D 9 does (position output, COLORn locations, varyings by semantic,
// per-stage uniform blocks, sampler units, pixel-centre fix), and
// the reflection the constant table needs.
#include <cstdint>
#include <string>
#include <vector>

#include "effect_syntax.h"
#include "platform/gfx/shader_code.h"

namespace gfx::shader {

inline constexpr const char* kPixelFixUniform = "lv_PixelFix";

struct TranslateInput {
  const std::vector<uint32_t>* spirv = nullptr;
  ShaderStage stage = ShaderStage::Vertex;
  const std::vector<GlobalDeclaration>* globals = nullptr;  // declaration order
};

// Fills code.glsl, the uniform block fields, constants and inputs; false with
// messages on failure.
bool TranslateToGlsl(const TranslateInput& input, ShaderCode& code, std::string& messages);

}  // namespace gfx::shader
