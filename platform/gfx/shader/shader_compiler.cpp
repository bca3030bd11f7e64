#include "platform/gfx/shader_compiler.h"

#include <algorithm>

#include "effect_syntax.h"
#include "glsl_translator.h"
#include "hlsl_front_end.h"
#include "platform/gfx/constant_table.h"

namespace gfx {

std::optional<ShaderStage> StageOfProfile(std::string_view profile) {
  static constexpr std::string_view kVertex[] = {"vs_1_1", "vs_2_0", "vs_2_a", "vs_2_sw", "vs_3_0", "vs_3_sw"};
  static constexpr std::string_view kPixel[] = {"ps_1_1", "ps_1_2", "ps_1_3", "ps_1_4", "ps_2_0",
                                                "ps_2_a", "ps_2_b", "ps_2_sw", "ps_3_0", "ps_3_sw"};
  if (std::find(std::begin(kVertex), std::end(kVertex), profile) != std::end(kVertex)) return ShaderStage::Vertex;
  if (std::find(std::begin(kPixel), std::end(kPixel), profile) != std::end(kPixel)) return ShaderStage::Pixel;
  return std::nullopt;
}

namespace {

// "vs_4_0", "ps_5_0", "cs_5_0", "vs_4_0_level_9_3", ...: profiles of the
// Direct3D 10 and later compilers, worth a message of their own.
bool IsLaterShaderModel(std::string_view profile) {
  static constexpr std::string_view kStages[] = {"vs_", "ps_", "gs_", "hs_", "ds_", "cs_"};
  if (profile.size() < 6 || profile[4] != '_' || profile[3] < '4' || profile[3] > '6') return false;
  return std::any_of(std::begin(kStages), std::end(kStages), [&](std::string_view s) { return profile.starts_with(s); });
}

}  // namespace

ShaderCompileResult CompileShader(const ShaderCompileRequest& request) {
  ShaderCompileResult result;
  std::optional<ShaderStage> stage = StageOfProfile(request.profile);
  if (!stage) {
    const bool model4OrLater = IsLaterShaderModel(request.profile);
    result.messages = shader::FormatMessage(
        "shader", 0, true,
        model4OrLater ? "profile '" + request.profile +
                            "' is Shader Model 4 or later; Direct3D 9 shaders use vs_1_1 ... vs_3_0 and ps_1_1 ... ps_3_0"
                      : "invalid profile '" + request.profile + "'");
    return result;
  }
  if (request.entryPoint.empty()) {
    result.messages = shader::FormatMessage("shader", 0, true, "no entry point given");
    return result;
  }

  shader::CleanedSource cleaned = shader::StripEffectSyntax(request.source);
  if (!cleaned.error.empty()) {
    result.messages = shader::FormatMessage("shader", cleaned.errorLine, true, cleaned.error);
    return result;
  }

  shader::FrontEndInput frontInput;
  frontInput.text = cleaned.text;
  frontInput.defines = &request.defines;
  frontInput.include = request.include;
  frontInput.entryPoint = request.entryPoint;
  frontInput.stage = *stage;
  frontInput.flags = request.flags;
  shader::FrontEndOutput front = shader::CompileHlslToSpirv(frontInput);
  result.messages = std::move(front.messages);
  if (!front.ok) return result;

  std::vector<shader::GlobalDeclaration> globals = std::move(cleaned.globals);
  for (shader::GlobalDeclaration& g : front.includedGlobals) globals.push_back(std::move(g));

  auto code = std::make_shared<ShaderCode>();
  code->stage = *stage;
  code->entryPoint = request.entryPoint;
  code->profile = request.profile;
  shader::TranslateInput translateInput;
  translateInput.spirv = &front.spirv;
  translateInput.stage = *stage;
  translateInput.globals = &globals;
  if (!shader::TranslateToGlsl(translateInput, *code, result.messages)) return result;

  result.code = code;
  result.constantTable = std::make_shared<ConstantTable>(code);
  return result;
}

}  // namespace gfx
