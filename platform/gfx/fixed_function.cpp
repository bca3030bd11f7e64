#include "fixed_function.h"

#include <sstream>

namespace gfx {

namespace {

uint32_t StageValue(const DeviceState& s, int stage, TextureStageState st) { return s.Stage(stage, st); }

int ActiveStages(const DeviceState& s) {
  int n = 0;
  while (n < kTextureStages &&
         StageValue(s, n, TextureStageState::ColorOp) != static_cast<uint32_t>(TextureOp::Disable))
    ++n;
  return n;
}

std::string ArgExpr(uint32_t arg, int stage) {
  std::string base;
  switch (arg & texarg::SelectMask) {
    case texarg::Diffuse: base = "lv_diffuse"; break;
    case texarg::Current: base = "cur"; break;
    case texarg::Texture: base = "t" + std::to_string(stage); break;
    case texarg::Specular: base = "lv_specular"; break;
    case texarg::Temp: base = "temp"; break;
    default: base = "lv_tfactor"; break;  // TFACTOR (and per-stage constants, which we keep as the factor)
  }
  if (arg & texarg::Complement) base = "(vec4(1.0) - " + base + ")";
  if (arg & texarg::AlphaReplicate) base = "vec4(" + base + ".a)";
  return base;
}

// Direct3D's stage operations over whole vec4s; the caller keeps .rgb or .a.
std::string OpExpr(uint32_t op, const std::string& a0, const std::string& a1, const std::string& a2, int stage) {
  const std::string tex = "t" + std::to_string(stage);
  switch (static_cast<TextureOp>(op)) {
    case TextureOp::SelectArg1: return a1;
    case TextureOp::SelectArg2: return a2;
    case TextureOp::Modulate: return a1 + " * " + a2;
    case TextureOp::Modulate2X: return a1 + " * " + a2 + " * 2.0";
    case TextureOp::Modulate4X: return a1 + " * " + a2 + " * 4.0";
    case TextureOp::Add: return a1 + " + " + a2;
    case TextureOp::AddSigned: return a1 + " + " + a2 + " - vec4(0.5)";
    case TextureOp::AddSigned2X: return "(" + a1 + " + " + a2 + " - vec4(0.5)) * 2.0";
    case TextureOp::Subtract: return a1 + " - " + a2;
    case TextureOp::AddSmooth: return a1 + " + " + a2 + " - " + a1 + " * " + a2;
    case TextureOp::BlendDiffuseAlpha: return "mix(" + a2 + ", " + a1 + ", lv_diffuse.a)";
    case TextureOp::BlendTextureAlpha: return "mix(" + a2 + ", " + a1 + ", " + tex + ".a)";
    case TextureOp::BlendFactorAlpha: return "mix(" + a2 + ", " + a1 + ", lv_tfactor.a)";
    case TextureOp::BlendCurrentAlpha: return "mix(" + a2 + ", " + a1 + ", cur.a)";
    case TextureOp::MultiplyAdd: return a0 + " + " + a1 + " * " + a2;
    case TextureOp::Lerp: return "mix(" + a2 + ", " + a1 + ", " + a0 + ")";
    case TextureOp::Disable: break;
  }
  return "cur";
}

bool UsesTexture(const DeviceState& s, int stage) {
  const TextureStageState args[] = {TextureStageState::ColorArg0, TextureStageState::ColorArg1,
                                    TextureStageState::ColorArg2, TextureStageState::AlphaArg0,
                                    TextureStageState::AlphaArg1, TextureStageState::AlphaArg2};
  for (auto a : args)
    if ((StageValue(s, stage, a) & texarg::SelectMask) == texarg::Texture) return true;
  const uint32_t op = StageValue(s, stage, TextureStageState::ColorOp);
  return op == static_cast<uint32_t>(TextureOp::BlendTextureAlpha);
}

// Declares the varying at the vertex shader's location for a semantic and
// returns an expression of it as a vec4, read at Direct3D's pixel centre (see
// kPixelCentreStep), or `fallback` when the shader has none.
std::string Varying(std::ostringstream& decl, const GlStageShader& vs, const char* semantic, int index,
                    const std::string& name, const char* fallback) {
  for (const StageVarying& v : vs.code.varyings) {
    if (v.semantic != semantic || v.semanticIndex != index) continue;
    auto type = vs.outputTypes.find(v.location);
    const std::string t = type == vs.outputTypes.end() ? "vec4" : type->second;
    decl << "layout(location = " << v.location << ") in " << t << " " << name << ";\n";
    const std::string value = PixelInputGlsl(name);
    if (t == "float") return "vec4(" + value + ", 0.0, 0.0, 1.0)";
    if (t == "vec2") return "vec4(" + value + ", 0.0, 1.0)";
    if (t == "vec3") return "vec4(" + value + ", 1.0)";
    return value;
  }
  return fallback;
}

}  // namespace

const char* AlphaTestGlsl() {
  return R"(
uniform int lv_alphaFunc;
uniform float lv_alphaRef;
bool lv_alphaPasses(float alpha) {
  float a = floor(clamp(alpha, 0.0, 1.0) * 255.0 + 0.5);
  switch (lv_alphaFunc) {
    case 1: return false;
    case 2: return a < lv_alphaRef;
    case 3: return a == lv_alphaRef;
    case 4: return a <= lv_alphaRef;
    case 5: return a > lv_alphaRef;
    case 6: return a != lv_alphaRef;
    case 7: return a >= lv_alphaRef;
    default: return true;
  }
}
)";
}

std::string FixedFunctionKey(const DeviceState& state) {
  std::ostringstream key;
  key << (state.Get(RenderState::AlphaTestEnable) ? 'a' : '-');
  const int n = ActiveStages(state);
  for (int i = 0; i < n; ++i) {
    for (int st = 0; st < kStageStates; ++st) key << state.stage[i][st] << ',';
    key << ';';
  }
  return key.str();
}

std::string FixedFunctionPixelGlsl(const DeviceState& state, const GlStageShader& vs) {
  std::ostringstream decl, body;
  decl << "#version 450\n";
  decl << "uniform bool " << kPointDrawUniform << ";\n";
  const std::string diffuse = Varying(decl, vs, "COLOR", 0, "lv_in_color0", "vec4(1.0)");
  const std::string specular = Varying(decl, vs, "COLOR", 1, "lv_in_color1", "vec4(0.0, 0.0, 0.0, 1.0)");
  decl << "uniform vec4 lv_tfactor;\n";
  decl << "layout(location = 0) out vec4 lv_color;\n";
  const bool alphaTest = state.Get(RenderState::AlphaTestEnable) != 0;
  if (alphaTest) decl << AlphaTestGlsl();

  body << "void main() {\n";
  body << "  vec4 lv_diffuse = " << diffuse << ";\n";
  body << "  vec4 lv_specular = " << specular << ";\n";
  body << "  vec4 cur = lv_diffuse;\n  vec4 temp = vec4(0.0);\n";
  const int n = ActiveStages(state);
  for (int i = 0; i < n; ++i) {
    const std::string t = "t" + std::to_string(i);
    if (UsesTexture(state, i)) {
      const int coord = static_cast<int>(StageValue(state, i, TextureStageState::TexCoordIndex) & 0xFFFF);
      const std::string tc = Varying(decl, vs, "TEXCOORD", coord, "lv_in_tc" + std::to_string(i),
                                     "vec4(0.0, 0.0, 0.0, 1.0)");
      decl << "uniform sampler2D lv_s" << i << ";\n";
      body << "  vec4 " << t << " = texture(lv_s" << i << ", (" << tc << ").xy);\n";
    } else {
      body << "  vec4 " << t << " = vec4(0.0, 0.0, 0.0, 1.0);\n";
    }
    auto arg = [&](TextureStageState st) { return ArgExpr(StageValue(state, i, st), i); };
    const std::string color =
        OpExpr(StageValue(state, i, TextureStageState::ColorOp), arg(TextureStageState::ColorArg0),
               arg(TextureStageState::ColorArg1), arg(TextureStageState::ColorArg2), i);
    const uint32_t alphaOp = StageValue(state, i, TextureStageState::AlphaOp);
    const std::string alpha =
        alphaOp == static_cast<uint32_t>(TextureOp::Disable)
            ? std::string("cur")
            : OpExpr(alphaOp, arg(TextureStageState::AlphaArg0), arg(TextureStageState::AlphaArg1),
                     arg(TextureStageState::AlphaArg2), i);
    const std::string result =
        (StageValue(state, i, TextureStageState::ResultArg) & texarg::SelectMask) == texarg::Temp ? "temp" : "cur";
    // Each stage's result is saturated, as the fixed-function pipeline does.
    body << "  " << result << " = clamp(vec4((" << color << ").rgb, (" << alpha << ").a), 0.0, 1.0);\n";
  }
  body << "  lv_color = cur;\n";
  if (alphaTest) body << "  if (!lv_alphaPasses(cur.a)) discard;\n";
  body << "}\n";
  return decl.str() + body.str();
}

}  // namespace gfx
