#include "hlsl_front_end.h"

#define ENABLE_HLSL
#include <glslang/Public/ResourceLimits.h>
#include <glslang/Public/ShaderLang.h>
#include <glslang/SPIRV/GlslangToSpv.h>

#include <list>
#include <mutex>
#include <sstream>

namespace gfx::shader {
namespace {

constexpr std::string_view kMainSourceName = "shader";

// Hands included files to glslang after the same effect-syntax pass as the
// main text, and keeps what that pass found.
class Includer : public glslang::TShader::Includer {
 public:
  explicit Includer(ShaderIncludeHandler* handler) : handler_(handler) {}

  IncludeResult* includeLocal(const char* name, const char*, size_t) override { return Open(name, false); }
  IncludeResult* includeSystem(const char* name, const char*, size_t) override { return Open(name, true); }
  void releaseInclude(IncludeResult* result) override { delete result; }

  std::vector<GlobalDeclaration>& globals() { return globals_; }
  std::string& errors() { return errors_; }

 private:
  IncludeResult* Open(const char* name, bool system) {
    if (!handler_) return nullptr;
    std::optional<std::string> text = handler_->Open(name, system);
    if (!text) return nullptr;
    CleanedSource cleaned = StripEffectSyntax(*text);
    if (!cleaned.error.empty()) errors_ += FormatMessage(name, cleaned.errorLine, true, cleaned.error);
    for (GlobalDeclaration& g : cleaned.globals) globals_.push_back(std::move(g));
    const std::string& kept = texts_.emplace_back(std::move(cleaned.text));
    return new IncludeResult(name, kept.data(), kept.size(), nullptr);
  }

  ShaderIncludeHandler* handler_;
  std::list<std::string> texts_;  // stable storage while glslang reads them
  std::vector<GlobalDeclaration> globals_;
  std::string errors_;
};

std::string Trim(std::string_view s) {
  size_t b = s.find_first_not_of(" \t\r");
  size_t e = s.find_last_not_of(" \t\r");
  return b == std::string_view::npos ? std::string() : std::string(s.substr(b, e - b + 1));
}

// glslang writes "ERROR: <string>:<line>: text" and "WARNING: ..."; the
// string is 0 for the main text (our defines come in a preamble that glslang
// numbers apart) or the name of an included file.
std::string ConvertLog(std::string_view log) {
  std::string out;
  std::istringstream lines{std::string(log)};
  std::string line;
  while (std::getline(lines, line)) {
    bool error = line.rfind("ERROR: ", 0) == 0;
    bool warning = line.rfind("WARNING: ", 0) == 0;
    if (!error && !warning) continue;  // the "(3): error at column ..." repeat and blank lines
    std::string_view rest = std::string_view(line).substr(error ? 7 : 9);
    // The linker only warns of a missing entry point, then makes no code.
    if (rest.find("Entry point not found") != std::string_view::npos) error = true;
    if (rest.find("compilation errors.") != std::string_view::npos) continue;
    if (rest.find("No code generated") != std::string_view::npos) continue;
    size_t colon1 = rest.find(':');
    size_t colon2 = colon1 == std::string_view::npos ? colon1 : rest.find(':', colon1 + 1);
    int lineNumber = 0;
    std::string file;
    if (colon2 != std::string_view::npos) {
      file = std::string(rest.substr(0, colon1));
      std::string number(rest.substr(colon1 + 1, colon2 - colon1 - 1));
      if (!number.empty() && number.find_first_not_of("0123456789") == std::string::npos) {
        lineNumber = std::stoi(number);
        rest = rest.substr(colon2 + 1);
      } else {
        file.clear();
      }
    }
    if (file == "0" || file.empty()) file = std::string(kMainSourceName);
    out += FormatMessage(file, lineNumber, error, Trim(rest));
  }
  return out;
}

std::mutex& CompilerMutex() {
  static std::mutex mutex;
  return mutex;
}

}  // namespace

std::string FormatMessage(std::string_view file, int line, bool error, std::string_view text) {
  std::string out(file);
  if (line > 0) out += "(" + std::to_string(line) + ")";
  out += error ? ": error: " : ": warning: ";
  out += text;
  out += '\n';
  return out;
}

FrontEndOutput CompileHlslToSpirv(const FrontEndInput& input) {
  FrontEndOutput output;
  // glslang keeps process-wide tables; one compile at a time keeps it simple
  // (compiles are rare and short next to a frame).
  std::lock_guard lock(CompilerMutex());
  static const bool initialised = glslang::InitializeProcess();
  (void)initialised;

  const EShLanguage language = input.stage == ShaderStage::Vertex ? EShLangVertex : EShLangFragment;
  glslang::TShader shader(language);
  const char* text = input.text.data();
  const int length = static_cast<int>(input.text.size());
  const char* name = kMainSourceName.data();
  shader.setStringsWithLengthsAndNames(&text, &length, &name, 1);

  std::string preamble;
  if (input.flags & kShaderPackMatrixRowMajor) preamble += "#pragma pack_matrix(row_major)\n";
  else if (input.flags & kShaderPackMatrixColumnMajor) preamble += "#pragma pack_matrix(column_major)\n";
  if (input.defines)
    for (const ShaderDefine& define : *input.defines) {
      if (define.name.empty()) continue;
      preamble += "#define " + define.name + " " + define.value + "\n";
    }
  shader.setPreamble(preamble.c_str());

  shader.setEnvInput(glslang::EShSourceHlsl, language, glslang::EShClientVulkan, 100);
  shader.setEnvClient(glslang::EShClientVulkan, glslang::EShTargetVulkan_1_0);
  shader.setEnvTarget(glslang::EShTargetSpv, glslang::EShTargetSpv_1_0);
  shader.setEntryPoint(input.entryPoint.c_str());
  shader.setSourceEntryPoint(input.entryPoint.c_str());
  shader.setEnvTargetHlslFunctionality1();  // keeps the semantics as strings
  shader.setAutoMapBindings(true);
  shader.setAutoMapLocations(true);
  shader.setHlslIoMapping(true);
  const auto messages = static_cast<EShMessages>(EShMsgSpvRules | EShMsgVulkanRules | EShMsgReadHlsl |
                                                 EShMsgHlslDX9Compatible);

  Includer includer(input.include);
  const bool parsed = shader.parse(GetDefaultResources(), 100, false, messages, includer);
  output.messages = includer.errors() + ConvertLog(shader.getInfoLog());
  output.includedGlobals = std::move(includer.globals());
  if (!parsed || !includer.errors().empty()) return output;

  glslang::TProgram program;
  program.addShader(&shader);
  if (!program.link(messages) || !program.mapIO()) {
    std::string log = ConvertLog(program.getInfoLog());
    output.messages += log.empty() ? FormatMessage(kMainSourceName, 0, true, "link failed") : log;
    return output;
  }
  glslang::SpvOptions options;
  options.validate = false;
  spv::SpvBuildLogger logger;
  glslang::GlslangToSpv(*program.getIntermediate(language), output.spirv, &logger, &options);
  std::string spvMessages = logger.getAllMessages();
  if (output.spirv.empty()) {
    output.messages += FormatMessage(kMainSourceName, 0, true, spvMessages.empty() ? "no code generated" : spvMessages);
    return output;
  }
  output.ok = true;
  return output;
}

}  // namespace gfx::shader
