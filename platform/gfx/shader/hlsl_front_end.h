#pragma once
// glslang's HLSL front end in its Direct3D 9 compatible mode: cleaned HLSL
// text in, SPIR-V out, with the compiler's log turned into our messages.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "effect_syntax.h"
#include "platform/gfx/shader_code.h"
#include "platform/gfx/shader_compiler.h"

namespace gfx::shader {

struct FrontEndInput {
  std::string_view text;                       // already through StripEffectSyntax
  const std::vector<ShaderDefine>* defines = nullptr;
  ShaderIncludeHandler* include = nullptr;
  std::string entryPoint;
  ShaderStage stage = ShaderStage::Vertex;
  uint32_t flags = 0;
};

struct FrontEndOutput {
  bool ok = false;
  std::vector<uint32_t> spirv;
  std::string messages;                        // "name(line): error: text" lines
  std::vector<GlobalDeclaration> includedGlobals;  // globals found in included files
};

FrontEndOutput CompileHlslToSpirv(const FrontEndInput& input);

// "name(line): error: text" or "...: warning: ..." for one message of ours.
std::string FormatMessage(std::string_view file, int line, bool error, std::string_view text);

}  // namespace gfx::shader
