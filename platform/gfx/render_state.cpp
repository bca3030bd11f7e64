#include "render_state.h"

#include <cstring>

namespace gfx {

namespace {

template <class E>
uint32_t V(E e) { return static_cast<uint32_t>(e); }

GLenum GlCompare(uint32_t cmp) {
  switch (static_cast<Cmp>(cmp)) {
    case Cmp::Never: return GL_NEVER;
    case Cmp::Less: return GL_LESS;
    case Cmp::Equal: return GL_EQUAL;
    case Cmp::LessEqual: return GL_LEQUAL;
    case Cmp::Greater: return GL_GREATER;
    case Cmp::NotEqual: return GL_NOTEQUAL;
    case Cmp::GreaterEqual: return GL_GEQUAL;
    case Cmp::Always: return GL_ALWAYS;
  }
  return GL_ALWAYS;
}

GLenum GlBlend(uint32_t blend) {
  switch (static_cast<Blend>(blend)) {
    case Blend::Zero: return GL_ZERO;
    case Blend::One: return GL_ONE;
    case Blend::SrcColor: return GL_SRC_COLOR;
    case Blend::InvSrcColor: return GL_ONE_MINUS_SRC_COLOR;
    case Blend::SrcAlpha: return GL_SRC_ALPHA;
    case Blend::InvSrcAlpha: return GL_ONE_MINUS_SRC_ALPHA;
    case Blend::DestAlpha: return GL_DST_ALPHA;
    case Blend::InvDestAlpha: return GL_ONE_MINUS_DST_ALPHA;
    case Blend::DestColor: return GL_DST_COLOR;
    case Blend::InvDestColor: return GL_ONE_MINUS_DST_COLOR;
    case Blend::SrcAlphaSat: return GL_SRC_ALPHA_SATURATE;
    case Blend::BlendFactor: return GL_CONSTANT_COLOR;
    case Blend::InvBlendFactor: return GL_ONE_MINUS_CONSTANT_COLOR;
  }
  return GL_ONE;
}

GLenum GlBlendOp(uint32_t op) {
  switch (static_cast<BlendOp>(op)) {
    case BlendOp::Add: return GL_FUNC_ADD;
    case BlendOp::Subtract: return GL_FUNC_SUBTRACT;          // source - destination
    case BlendOp::RevSubtract: return GL_FUNC_REVERSE_SUBTRACT;  // destination - source
    case BlendOp::Min: return GL_MIN;
    case BlendOp::Max: return GL_MAX;
  }
  return GL_FUNC_ADD;
}

GLenum GlStencilOp(uint32_t op) {
  switch (static_cast<StencilOp>(op)) {
    case StencilOp::Keep: return GL_KEEP;
    case StencilOp::Zero: return GL_ZERO;
    case StencilOp::Replace: return GL_REPLACE;
    case StencilOp::IncrSat: return GL_INCR;
    case StencilOp::DecrSat: return GL_DECR;
    case StencilOp::Invert: return GL_INVERT;
    case StencilOp::Incr: return GL_INCR_WRAP;
    case StencilOp::Decr: return GL_DECR_WRAP;
  }
  return GL_KEEP;
}

GLenum GlAddress(uint32_t a) {
  switch (static_cast<Address>(a)) {
    case Address::Wrap: return GL_REPEAT;
    case Address::Mirror: return GL_MIRRORED_REPEAT;
    case Address::Clamp: return GL_CLAMP_TO_EDGE;
    case Address::Border: return GL_CLAMP_TO_BORDER;
    case Address::MirrorOnce: return GL_MIRROR_CLAMP_TO_EDGE;
  }
  return GL_REPEAT;
}

bool Linear(uint32_t f) { return f == V(Filter::Linear) || f == V(Filter::Anisotropic); }

GLenum GlMinFilter(uint32_t min, uint32_t mip) {
  const bool lin = Linear(min);
  if (mip == V(Filter::None)) return lin ? GL_LINEAR : GL_NEAREST;
  if (Linear(mip)) return lin ? GL_LINEAR_MIPMAP_LINEAR : GL_NEAREST_MIPMAP_LINEAR;
  return lin ? GL_LINEAR_MIPMAP_NEAREST : GL_NEAREST_MIPMAP_NEAREST;
}

void SetCap(GLenum cap, bool on) { on ? glEnable(cap) : glDisable(cap); }

}  // namespace

void ColorToFloats(uint32_t argb, float out[4]) {
  out[0] = static_cast<float>((argb >> 16) & 0xFF) / 255.0f;
  out[1] = static_cast<float>((argb >> 8) & 0xFF) / 255.0f;
  out[2] = static_cast<float>(argb & 0xFF) / 255.0f;
  out[3] = static_cast<float>(argb >> 24) / 255.0f;
}

void DeviceState::SetDefaults(bool autoDepthStencil) {
  auto set = [this](RenderState s, uint32_t v) { render[static_cast<int>(s)] = v; };
  render.fill(0);
  set(RenderState::ZEnable, autoDepthStencil ? 1 : 0);
  set(RenderState::FillMode, V(FillMode::Solid));
  set(RenderState::ZWriteEnable, 1);
  set(RenderState::AlphaTestEnable, 0);
  set(RenderState::SrcBlend, V(Blend::One));
  set(RenderState::DestBlend, V(Blend::Zero));
  set(RenderState::CullMode, V(Cull::CCW));
  set(RenderState::ZFunc, V(Cmp::LessEqual));
  set(RenderState::AlphaRef, 0);
  set(RenderState::AlphaFunc, V(Cmp::Always));
  set(RenderState::AlphaBlendEnable, 0);
  set(RenderState::StencilEnable, 0);
  set(RenderState::StencilFail, V(StencilOp::Keep));
  set(RenderState::StencilZFail, V(StencilOp::Keep));
  set(RenderState::StencilPass, V(StencilOp::Keep));
  set(RenderState::StencilFunc, V(Cmp::Always));
  set(RenderState::StencilRef, 0);
  set(RenderState::StencilMask, 0xFFFFFFFFu);
  set(RenderState::StencilWriteMask, 0xFFFFFFFFu);
  set(RenderState::TextureFactor, 0xFFFFFFFFu);
  set(RenderState::Lighting, 1);
  set(RenderState::PointSize, FloatBits(1.0f));
  set(RenderState::ColorWriteEnable, colorwrite::All);
  set(RenderState::BlendOp, V(BlendOp::Add));
  set(RenderState::SrcBlendAlpha, V(Blend::One));
  set(RenderState::DestBlendAlpha, V(Blend::Zero));
  set(RenderState::BlendOpAlpha, V(BlendOp::Add));
  set(RenderState::BlendFactor, 0xFFFFFFFFu);

  for (auto& s : sampler) {
    s.fill(0);
    s[static_cast<int>(SamplerState::AddressU)] = V(Address::Wrap);
    s[static_cast<int>(SamplerState::AddressV)] = V(Address::Wrap);
    s[static_cast<int>(SamplerState::AddressW)] = V(Address::Wrap);
    s[static_cast<int>(SamplerState::MagFilter)] = V(Filter::Point);
    s[static_cast<int>(SamplerState::MinFilter)] = V(Filter::Point);
    s[static_cast<int>(SamplerState::MipFilter)] = V(Filter::None);
    s[static_cast<int>(SamplerState::MaxAnisotropy)] = 1;
  }
  for (int i = 0; i < kTextureStages; ++i) {
    auto& s = stage[i];
    s.fill(0);
    s[static_cast<int>(TextureStageState::ColorOp)] = V(i == 0 ? TextureOp::Modulate : TextureOp::Disable);
    s[static_cast<int>(TextureStageState::ColorArg1)] = texarg::Texture;
    s[static_cast<int>(TextureStageState::ColorArg2)] = texarg::Current;
    s[static_cast<int>(TextureStageState::AlphaOp)] = V(i == 0 ? TextureOp::SelectArg1 : TextureOp::Disable);
    s[static_cast<int>(TextureStageState::AlphaArg1)] = texarg::Texture;
    s[static_cast<int>(TextureStageState::AlphaArg2)] = texarg::Current;
    s[static_cast<int>(TextureStageState::TexCoordIndex)] = static_cast<uint32_t>(i);
    s[static_cast<int>(TextureStageState::ColorArg0)] = texarg::Current;
    s[static_cast<int>(TextureStageState::AlphaArg0)] = texarg::Current;
    s[static_cast<int>(TextureStageState::ResultArg)] = texarg::Current;
  }
}

void ApplyRenderState(const DeviceState& state, bool hasDepth, GlPipelineState* applied) {
  GlPipelineState want;
  want.valid = true;

  want.blend = state.Get(RenderState::AlphaBlendEnable) != 0;
  want.srcRgb = GlBlend(state.Get(RenderState::SrcBlend));
  want.dstRgb = GlBlend(state.Get(RenderState::DestBlend));
  want.opRgb = GlBlendOp(state.Get(RenderState::BlendOp));
  if (state.Get(RenderState::SeparateAlphaBlendEnable)) {
    want.srcAlpha = GlBlend(state.Get(RenderState::SrcBlendAlpha));
    want.dstAlpha = GlBlend(state.Get(RenderState::DestBlendAlpha));
    want.opAlpha = GlBlendOp(state.Get(RenderState::BlendOpAlpha));
  } else {
    want.srcAlpha = want.srcRgb;
    want.dstAlpha = want.dstRgb;
    want.opAlpha = want.opRgb;
  }
  ColorToFloats(state.Get(RenderState::BlendFactor), want.blendColor);

  const bool zEnable = hasDepth && state.Get(RenderState::ZEnable) != 0;
  want.depthTest = zEnable;
  want.depthWrite = zEnable && state.Get(RenderState::ZWriteEnable) != 0;
  want.depthFunc = GlCompare(state.Get(RenderState::ZFunc));

  want.stencil = hasDepth && state.Get(RenderState::StencilEnable) != 0;
  want.stencilFunc = GlCompare(state.Get(RenderState::StencilFunc));
  want.stencilFail = GlStencilOp(state.Get(RenderState::StencilFail));
  want.stencilZFail = GlStencilOp(state.Get(RenderState::StencilZFail));
  want.stencilPass = GlStencilOp(state.Get(RenderState::StencilPass));
  want.stencilRef = static_cast<GLint>(state.Get(RenderState::StencilRef));
  want.stencilMask = state.Get(RenderState::StencilMask);
  want.stencilWriteMask = state.Get(RenderState::StencilWriteMask);

  // Front faces are clockwise on screen (glFrontFace(GL_CW) at start-up).
  const uint32_t cull = state.Get(RenderState::CullMode);
  want.cull = cull != V(Cull::None);
  want.cullFace = cull == V(Cull::CW) ? GL_FRONT : GL_BACK;

  const uint32_t fill = state.Get(RenderState::FillMode);
  want.polygonMode = fill == V(FillMode::Point) ? GL_POINT : fill == V(FillMode::Wireframe) ? GL_LINE : GL_FILL;

  const uint32_t mask = state.Get(RenderState::ColorWriteEnable);
  for (int i = 0; i < 4; ++i) want.colorMask[i] = (mask >> i) & 1;

  want.scissor = state.Get(RenderState::ScissorTestEnable) != 0;
  want.scissorBox[0] = state.scissor.left;
  want.scissorBox[1] = state.scissor.top;  // rows are stored top first: no flip
  want.scissorBox[2] = state.scissor.Width();
  want.scissorBox[3] = state.scissor.Height();

  const Viewport& vp = state.viewport;
  want.viewport[0] = static_cast<GLint>(vp.x);
  want.viewport[1] = static_cast<GLint>(vp.y);
  want.viewport[2] = static_cast<GLint>(vp.width);
  want.viewport[3] = static_cast<GLint>(vp.height);
  want.depthRange[0] = vp.minZ;
  want.depthRange[1] = vp.maxZ;
  want.pointSize = BitsFloat(state.Get(RenderState::PointSize));
  if (!(want.pointSize > 0.0f)) want.pointSize = 1.0f;

  GlPipelineState& have = *applied;
  const bool all = !have.valid;
  if (all || want.blend != have.blend) SetCap(GL_BLEND, want.blend);
  if (all || want.srcRgb != have.srcRgb || want.dstRgb != have.dstRgb || want.srcAlpha != have.srcAlpha ||
      want.dstAlpha != have.dstAlpha)
    glBlendFuncSeparate(want.srcRgb, want.dstRgb, want.srcAlpha, want.dstAlpha);
  if (all || want.opRgb != have.opRgb || want.opAlpha != have.opAlpha)
    glBlendEquationSeparate(want.opRgb, want.opAlpha);
  if (all || std::memcmp(want.blendColor, have.blendColor, sizeof want.blendColor) != 0)
    glBlendColor(want.blendColor[0], want.blendColor[1], want.blendColor[2], want.blendColor[3]);
  if (all || want.depthTest != have.depthTest) SetCap(GL_DEPTH_TEST, want.depthTest);
  if (all || want.depthWrite != have.depthWrite) glDepthMask(want.depthWrite ? GL_TRUE : GL_FALSE);
  if (all || want.depthFunc != have.depthFunc) glDepthFunc(want.depthFunc);
  if (all || want.stencil != have.stencil) SetCap(GL_STENCIL_TEST, want.stencil);
  if (all || want.stencilFunc != have.stencilFunc || want.stencilRef != have.stencilRef ||
      want.stencilMask != have.stencilMask)
    glStencilFunc(want.stencilFunc, want.stencilRef, want.stencilMask);
  if (all || want.stencilFail != have.stencilFail || want.stencilZFail != have.stencilZFail ||
      want.stencilPass != have.stencilPass)
    glStencilOp(want.stencilFail, want.stencilZFail, want.stencilPass);
  if (all || want.stencilWriteMask != have.stencilWriteMask) glStencilMask(want.stencilWriteMask);
  if (all || want.cull != have.cull) SetCap(GL_CULL_FACE, want.cull);
  if (all || want.cullFace != have.cullFace) glCullFace(want.cullFace);
  if (all || want.polygonMode != have.polygonMode) glPolygonMode(GL_FRONT_AND_BACK, want.polygonMode);
  if (all || std::memcmp(want.colorMask, have.colorMask, sizeof want.colorMask) != 0)
    glColorMask(want.colorMask[0], want.colorMask[1], want.colorMask[2], want.colorMask[3]);
  if (all || want.scissor != have.scissor) SetCap(GL_SCISSOR_TEST, want.scissor);
  if (all || std::memcmp(want.scissorBox, have.scissorBox, sizeof want.scissorBox) != 0)
    glScissor(want.scissorBox[0], want.scissorBox[1], want.scissorBox[2], want.scissorBox[3]);
  if (all || std::memcmp(want.viewport, have.viewport, sizeof want.viewport) != 0)
    glViewport(want.viewport[0], want.viewport[1], want.viewport[2], want.viewport[3]);
  if (all || std::memcmp(want.depthRange, have.depthRange, sizeof want.depthRange) != 0)
    glDepthRangef(want.depthRange[0], want.depthRange[1]);
  if (all || want.pointSize != have.pointSize) glPointSize(want.pointSize);
  have = want;
}

void ApplySamplerState(GLuint sampler, const std::array<uint32_t, kSamplerStates>& s, GlSamplerState* applied) {
  if (applied->valid && applied->values == s) return;
  auto at = [&s](SamplerState st) { return s[static_cast<int>(st)]; };
  glSamplerParameteri(sampler, GL_TEXTURE_WRAP_S, static_cast<GLint>(GlAddress(at(SamplerState::AddressU))));
  glSamplerParameteri(sampler, GL_TEXTURE_WRAP_T, static_cast<GLint>(GlAddress(at(SamplerState::AddressV))));
  glSamplerParameteri(sampler, GL_TEXTURE_WRAP_R, static_cast<GLint>(GlAddress(at(SamplerState::AddressW))));
  float border[4];
  ColorToFloats(at(SamplerState::BorderColor), border);
  glSamplerParameterfv(sampler, GL_TEXTURE_BORDER_COLOR, border);
  glSamplerParameteri(sampler, GL_TEXTURE_MAG_FILTER, Linear(at(SamplerState::MagFilter)) ? GL_LINEAR : GL_NEAREST);
  glSamplerParameteri(sampler, GL_TEXTURE_MIN_FILTER,
                      static_cast<GLint>(GlMinFilter(at(SamplerState::MinFilter), at(SamplerState::MipFilter))));
  glSamplerParameterf(sampler, GL_TEXTURE_LOD_BIAS, BitsFloat(at(SamplerState::MipMapLodBias)));
  glSamplerParameterf(sampler, GL_TEXTURE_MIN_LOD, static_cast<float>(at(SamplerState::MaxMipLevel)));
  applied->valid = true;
  applied->values = s;
}

}  // namespace gfx
