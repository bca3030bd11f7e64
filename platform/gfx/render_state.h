#pragma once
// The Direct3D 9 state the device tracks, as data, and the one function that
// brings OpenGL's pipeline state in line with it at draw time.
#include <epoxy/gl.h>

#include <array>
#include <cstdint>

#include "platform/gfx/device.h"
#include "platform/gfx/shader_code.h"
#include "platform/gfx/states.h"

namespace gfx {

inline constexpr int kRenderStates = static_cast<int>(RenderState::Count);
inline constexpr int kSamplerStates = static_cast<int>(SamplerState::Count);
inline constexpr int kStageStates = static_cast<int>(TextureStageState::Count);

struct DeviceState {
  std::array<uint32_t, kRenderStates> render{};
  std::array<std::array<uint32_t, kSamplerStates>, kSamplerUnits> sampler{};
  std::array<std::array<uint32_t, kStageStates>, kTextureStages> stage{};
  Viewport viewport;
  Rect scissor;

  // Direct3D 9's defaults; Z testing is on when the device has a depth buffer.
  void SetDefaults(bool autoDepthStencil);
  uint32_t Get(RenderState s) const { return render[static_cast<int>(s)]; }
  uint32_t Stage(int stageIndex, TextureStageState s) const { return stage[stageIndex][static_cast<int>(s)]; }
};

// OpenGL's fixed pipeline state as last set, so that only changes are sent.
struct GlPipelineState {
  bool valid = false;
  bool blend = false;
  GLenum srcRgb = GL_ONE, dstRgb = GL_ZERO, srcAlpha = GL_ONE, dstAlpha = GL_ZERO;
  GLenum opRgb = GL_FUNC_ADD, opAlpha = GL_FUNC_ADD;
  float blendColor[4] = {0, 0, 0, 0};
  bool depthTest = false;
  bool depthWrite = true;
  GLenum depthFunc = GL_LESS;
  bool stencil = false;
  GLenum stencilFunc = GL_ALWAYS, stencilFail = GL_KEEP, stencilZFail = GL_KEEP, stencilPass = GL_KEEP;
  GLint stencilRef = 0;
  GLuint stencilMask = ~0u, stencilWriteMask = ~0u;
  bool cull = false;
  GLenum cullFace = GL_BACK;
  GLenum polygonMode = GL_FILL;
  bool colorMask[4] = {true, true, true, true};
  bool scissor = false;
  GLint scissorBox[4] = {0, 0, 0, 0};
  GLint viewport[4] = {0, 0, 0, 0};
  float depthRange[2] = {0, 1};
  float pointSize = 1.0f;
};

// Sets what differs between `applied` and the state; hasDepth tells whether
// the current target has a depth buffer attached (without one, depth tests
// and writes are off, as Direct3D behaves with no depth-stencil surface).
void ApplyRenderState(const DeviceState& state, bool hasDepth, GlPipelineState* applied);

// Brings a GL sampler object in line with one sampler's states; `applied`
// holds what was last set on it (valid false the first time).
struct GlSamplerState {
  bool valid = false;
  std::array<uint32_t, kSamplerStates> values{};
};
void ApplySamplerState(GLuint sampler, const std::array<uint32_t, kSamplerStates>& states, GlSamplerState* applied);

// A D3D colour (0xAARRGGBB) as RGBA floats.
void ColorToFloats(uint32_t argb, float out[4]);

}  // namespace gfx
