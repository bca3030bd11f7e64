#pragma once
// The fixed-function pixel stage Direct3D 9 runs when no pixel shader is
// bound: texture-stage COLOROP/ALPHAOP with their arguments, then the alpha
// test. Emulated with a GLSL fragment shader made from the stage states.
#include <string>

#include "gl_objects.h"
#include "render_state.h"

namespace gfx {

// The states that shape the shader; equal keys give the same GLSL for one vertex shader.
// The alpha test is part of it when enabled.
std::string FixedFunctionKey(const DeviceState& state);

// A fragment shader for the stages, reading COLOR0, COLOR1 and TEXCOORDn from
// the vertex shader's varyings. Uniforms: lv_s0.. (samplers of stage n),
// lv_tfactor, and the alpha-test pair of AlphaTestGlsl().
std::string FixedFunctionPixelGlsl(const DeviceState& state, const GlStageShader& vertexShader);

// GLSL declaring `bool lv_alphaPasses(float alpha)` driven by the uniforms
// lv_alphaFunc (a Cmp value) and lv_alphaRef (0..255): alpha is compared
// at 8-bit precision, as Direct3D does.
const char* AlphaTestGlsl();

}  // namespace gfx
