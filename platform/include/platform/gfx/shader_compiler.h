#pragma once
// HLSL compilation the way the Direct3D 9 helper library did it: Direct3D 9
// style HLSL text in, a device shader (GLSL with reflection) and its constant
// table out, plus the compiler's messages. No GL in here.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/gfx/shader_code.h"

namespace gfx {

class ConstantTable;

struct ShaderDefine {
  std::string name;
  std::string value;
};

// Supplies the text of `#include "name"` (systemInclude false) and
// `#include <name>` (true). nullopt: the file cannot be opened.
class ShaderIncludeHandler {
 public:
  virtual ~ShaderIncludeHandler() = default;
  virtual std::optional<std::string> Open(std::string_view fileName, bool systemInclude) = 0;
};

// Compile flags with the helper library's values. They are accepted and, apart
// from the matrix packing ones, change nothing: our back end has no equivalent.
enum ShaderCompileFlags : uint32_t {
  kShaderDebug = 1u << 0,
  kShaderSkipValidation = 1u << 1,
  kShaderSkipOptimization = 1u << 2,
  kShaderPackMatrixRowMajor = 1u << 3,
  kShaderPackMatrixColumnMajor = 1u << 4,
};

struct ShaderCompileRequest {
  std::string_view source;             // HLSL text (its length is the view's)
  std::vector<ShaderDefine> defines;   // macros defined before the text
  ShaderIncludeHandler* include = nullptr;
  std::string entryPoint;
  std::string profile;                 // "vs_1_1" ... "vs_3_0", "ps_1_1" ... "ps_3_0"
  uint32_t flags = 0;
};

struct ShaderCompileResult {
  std::shared_ptr<const ShaderCode> code;        // null when compilation failed
  std::shared_ptr<ConstantTable> constantTable;  // null when compilation failed
  std::string messages;                          // errors and warnings, one a line; empty when clean
};

// Thread-safe; every call compiles from scratch, so the same request always
// gives the same result.
ShaderCompileResult CompileShader(const ShaderCompileRequest& request);

// The stage a profile names, or nullopt for a profile this layer does not know.
std::optional<ShaderStage> StageOfProfile(std::string_view profile);

}  // namespace gfx
