#include "programs.h"

#include <cstdio>
#include <regex>

#include "fixed_function.h"

namespace gfx {

namespace {

GLuint CompileGlsl(GLenum type, const std::string& source, std::string* log) {
  GLuint shader = glCreateShader(type);
  const char* text = source.c_str();
  glShaderSource(shader, 1, &text, nullptr);
  glCompileShader(shader);
  GLint ok = 0;
  glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
  if (!ok) {
    GLint length = 0;
    glGetShaderiv(shader, GL_INFO_LOG_LENGTH, &length);
    std::string text_log(static_cast<size_t>(length > 0 ? length : 1), '\0');
    glGetShaderInfoLog(shader, length, nullptr, text_log.data());
    if (log) *log = text_log;
    glDeleteShader(shader);
    return 0;
  }
  return shader;
}

// Renames the shader's main and calls it from a new one that applies the
// alpha test to the colour written at location 0.
std::string WrapWithAlphaTest(const std::string& glsl) {
  static const std::regex output(R"(layout\s*\(\s*location\s*=\s*0\s*\)\s*out\s+vec4\s+(\w+)\s*;)");
  static const std::regex mainDecl(R"(void\s+main\s*\(\s*(void)?\s*\))");
  std::smatch m;
  if (!std::regex_search(glsl, m, output)) return glsl;
  const std::string colour = m[1];
  std::smatch mm;
  if (!std::regex_search(glsl, mm, mainDecl)) return glsl;
  std::string wrapped = glsl.substr(0, static_cast<size_t>(mm.position(0))) + "void lv_shaderMain()" +
                        glsl.substr(static_cast<size_t>(mm.position(0) + mm.length(0)));
  wrapped += AlphaTestGlsl();
  wrapped += "void main() {\n  lv_shaderMain();\n  if (!lv_alphaPasses(" + colour + ".a)) discard;\n}\n";
  return wrapped;
}

std::map<int, std::string> OutputTypes(const std::string& glsl) {
  static const std::regex out(R"(layout\s*\(\s*location\s*=\s*(\d+)\s*\)\s*(?:\w+\s+)*out\s+(\w+)\s+\w+)");
  std::map<int, std::string> types;
  for (auto it = std::sregex_iterator(glsl.begin(), glsl.end(), out); it != std::sregex_iterator(); ++it)
    types[std::stoi((*it)[1])] = (*it)[2];
  return types;
}

void BindSamplers(GLuint program, const ShaderCode& code) {
  for (const ShaderConstant& c : code.constants) {
    if (c.type <= ConstantType::Texture) continue;  // samplers only
    const GLint loc = glGetUniformLocation(program, c.name.c_str());
    if (loc >= 0) glProgramUniform1i(program, loc, c.registerIndex);
  }
}

GLint BindBlock(GLuint program, const ShaderCode& code, GLuint binding) {
  if (code.uniformBlock.empty()) return 0;
  const GLuint index = glGetUniformBlockIndex(program, code.uniformBlock.c_str());
  if (index == GL_INVALID_INDEX) return 0;
  glUniformBlockBinding(program, index, binding);
  GLint size = 0;
  glGetActiveUniformBlockiv(program, index, GL_UNIFORM_BLOCK_DATA_SIZE, &size);
  return size;
}

}  // namespace

bool MakeStageShader(const ShaderCode& code, uint64_t id, GlStageShader* out, std::string* log) {
  const bool vertex = code.stage == ShaderStage::Vertex;
  GLuint shader = CompileGlsl(vertex ? GL_VERTEX_SHADER : GL_FRAGMENT_SHADER, code.glsl, log);
  if (!shader) return false;
  out->code = code;
  out->shader = shader;
  out->id = id;
  if (vertex) out->outputTypes = OutputTypes(code.glsl);
  return true;
}

ProgramCache::~ProgramCache() { Clear(); }

void ProgramCache::Clear() {
  for (auto& [key, program] : programs_)
    if (program) glDeleteProgram(program->program);
  programs_.clear();
}

void ProgramCache::Forget(uint64_t shaderId) {
  for (auto it = programs_.begin(); it != programs_.end();) {
    if (std::get<0>(it->first) == shaderId || std::get<1>(it->first) == shaderId) {
      if (it->second) glDeleteProgram(it->second->program);
      it = programs_.erase(it);
    } else {
      ++it;
    }
  }
}

const GlProgram* ProgramCache::Get(const GlStageShader& vs, GlStageShader* ps, bool alphaTest,
                                   const std::string& ffKey, const std::function<std::string()>& ffGlsl) {
  Key key{vs.id, ps ? ps->id : 0, alphaTest, ps ? std::string() : ffKey};
  auto found = programs_.find(key);
  if (found != programs_.end()) return found->second.get();

  std::unique_ptr<GlProgram> program;
  if (ps) {
    GLuint pixel = ps->shader;
    if (alphaTest) {
      if (!ps->alphaTested) {
        std::string log;
        ps->alphaTested = CompileGlsl(GL_FRAGMENT_SHADER, WrapWithAlphaTest(ps->code.glsl), &log);
        if (!ps->alphaTested)
          std::fprintf(stderr, "gfx: pixel shader %s with the alpha test does not compile: %s\n",
                       ps->code.entryPoint.c_str(), log.c_str());
      }
      pixel = ps->alphaTested;
    }
    if (pixel) program = Link(vs, ps, pixel);
  } else {
    std::string log;
    GLuint fs = CompileGlsl(GL_FRAGMENT_SHADER, ffGlsl(), &log);
    if (!fs) {
      std::fprintf(stderr, "gfx: fixed-function pixel stage does not compile: %s\n", log.c_str());
    } else {
      program = Link(vs, nullptr, fs);
      glDeleteShader(fs);  // stays attached to the program
    }
  }
  const GlProgram* result = program.get();
  programs_.emplace(std::move(key), std::move(program));
  return result;
}

std::unique_ptr<GlProgram> ProgramCache::Link(const GlStageShader& vs, const GlStageShader* ps, GLuint pixel) {
  GLuint program = glCreateProgram();
  glAttachShader(program, vs.shader);
  glAttachShader(program, pixel);
  glLinkProgram(program);
  GLint ok = 0;
  glGetProgramiv(program, GL_LINK_STATUS, &ok);
  if (!ok) {
    char log[2048] = {0};
    glGetProgramInfoLog(program, sizeof log, nullptr, log);
    std::fprintf(stderr, "gfx: shaders %s/%s do not link: %s\n", vs.code.entryPoint.c_str(),
                 ps ? ps->code.entryPoint.c_str() : "fixed-function", log);
    glDeleteProgram(program);
    return nullptr;
  }
  auto p = std::make_unique<GlProgram>();
  p->program = program;
  if (!vs.code.pixelFixUniform.empty()) p->pixelFix = glGetUniformLocation(program, vs.code.pixelFixUniform.c_str());
  p->alphaFunc = glGetUniformLocation(program, "lv_alphaFunc");
  p->alphaRef = glGetUniformLocation(program, "lv_alphaRef");
  p->textureFactor = glGetUniformLocation(program, "lv_tfactor");
  p->pointDraw = glGetUniformLocation(program, kPointDrawUniform);
  p->vertexBlockSize = BindBlock(program, vs.code, kVertexBlockBinding);
  BindSamplers(program, vs.code);
  if (ps) {
    p->pixelBlockSize = BindBlock(program, ps->code, kPixelBlockBinding);
    BindSamplers(program, ps->code);
  } else {
    for (int i = 0; i < kTextureStages; ++i) {
      const std::string name = "lv_s" + std::to_string(i);
      const GLint loc = glGetUniformLocation(program, name.c_str());
      if (loc >= 0) glProgramUniform1i(program, loc, i);
    }
  }
  p->writesPointSize = vs.code.glsl.find("gl_PointSize") != std::string::npos;
  return p;
}

}  // namespace gfx
