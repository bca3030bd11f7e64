#include "programs.h"

#include <algorithm>
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

// The pixel stage with its point-drawing switch made a constant.
std::string WithPointDraw(std::string glsl, bool points) {
  const std::string uniform = std::string("uniform bool ") + kPointDrawUniform + ";";
  const size_t at = glsl.find(uniform);
  if (at != std::string::npos)
    glsl.replace(at, uniform.size(), std::string("const bool ") + kPointDrawUniform + (points ? " = true;" : " = false;"));
  return glsl;
}

std::map<int, std::string> OutputTypes(const std::string& glsl) {
  static const std::regex out(R"(layout\s*\(\s*location\s*=\s*(\d+)\s*\)\s*(?:\w+\s+)*out\s+(\w+)\s+\w+)");
  std::map<int, std::string> types;
  for (auto it = std::sregex_iterator(glsl.begin(), glsl.end(), out); it != std::sregex_iterator(); ++it)
    types[std::stoi((*it)[1])] = (*it)[2];
  return types;
}

// Direct3D links a pixel shader reading an input the vertex shader does not
// write; the input then reads 0, a colour white (Direct3D's diffuse default).
// GL refuses such a pair, so the vertex stage gets the missing outputs, set
// to that value. Empty when nothing is missing (or nothing can be added).
std::string AddMissingOutputs(const ShaderCode& vs, const ShaderCode& ps) {
  static const std::regex input(R"(layout\(location = (\d+)\)\s+((?:\w+\s+)*)in\s+(\w+)\s+(\w+)\s*;)");
  std::string declarations, assignments;
  for (const StageVarying& in : ps.varyings) {
    const bool written = std::any_of(vs.varyings.begin(), vs.varyings.end(),
                                     [&](const StageVarying& out) { return out.location == in.location; });
    if (written) continue;
    for (auto it = std::sregex_iterator(ps.glsl.begin(), ps.glsl.end(), input); it != std::sregex_iterator(); ++it) {
      const std::smatch& m = *it;
      if (std::stoi(m[1]) != in.location) continue;
      const std::string type = m[3], name = m[4];
      declarations += "layout(location = " + m[1].str() + ") " + m[2].str() + "out " + type + " " + name + ";\n";
      assignments += "    " + name + " = " + type + (in.semantic == "COLOR" ? "(1);\n" : "(0);\n");
      break;
    }
  }
  if (declarations.empty()) return {};
  constexpr std::string_view kMain = "\nvoid main()\n{\n";
  const size_t mainAt = vs.glsl.find(kMain);
  if (mainAt == std::string::npos) return {};
  std::string glsl = vs.glsl;
  glsl.insert(mainAt + kMain.size(), assignments);
  glsl.insert(mainAt + 1, declarations + "\n");
  return glsl;
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
  GLuint shader = vertex ? CompileGlsl(GL_VERTEX_SHADER, code.glsl, log)
                         : CompileGlsl(GL_FRAGMENT_SHADER, WithPointDraw(code.glsl, false), log);
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

const GlProgram* ProgramCache::Get(const GlStageShader& vs, GlStageShader* ps, bool alphaTest, bool points,
                                   const std::string& ffKey, const std::function<std::string()>& ffGlsl) {
  Key key{vs.id, ps ? ps->id : 0, alphaTest, points, ps ? std::string() : ffKey};
  auto found = programs_.find(key);
  if (found != programs_.end()) return found->second.get();

  std::unique_ptr<GlProgram> program;
  if (ps) {
    GLuint pixel = ps->shader;
    if (alphaTest || points) {
      GLuint& variant = ps->variants[alphaTest && points ? 2 : points ? 1 : 0];
      if (!variant) {
        const std::string glsl = WithPointDraw(ps->code.glsl, points);
        std::string log;
        variant = CompileGlsl(GL_FRAGMENT_SHADER, alphaTest ? WrapWithAlphaTest(glsl) : glsl, &log);
        if (!variant)
          std::fprintf(stderr, "gfx: pixel shader %s%s%s does not compile: %s\n", ps->code.entryPoint.c_str(),
                       alphaTest ? " with the alpha test" : "", points ? " for points" : "", log.c_str());
      }
      pixel = variant;
    }
    const std::string completed = pixel ? AddMissingOutputs(vs.code, ps->code) : std::string();
    if (!completed.empty()) {
      std::string log;
      const GLuint vertex = CompileGlsl(GL_VERTEX_SHADER, completed, &log);
      if (!vertex)
        std::fprintf(stderr, "gfx: vertex shader %s with the outputs %s reads does not compile: %s\n",
                     vs.code.entryPoint.c_str(), ps->code.entryPoint.c_str(), log.c_str());
      else
        program = Link(vs, ps, vertex, pixel);
      glDeleteShader(vertex);  // stays attached to the program
    } else if (pixel) {
      program = Link(vs, ps, vs.shader, pixel);
    }
  } else {
    std::string log;
    GLuint fs = CompileGlsl(GL_FRAGMENT_SHADER, WithPointDraw(ffGlsl(), points), &log);
    if (!fs) {
      std::fprintf(stderr, "gfx: fixed-function pixel stage does not compile: %s\n", log.c_str());
    } else {
      program = Link(vs, nullptr, vs.shader, fs);
      glDeleteShader(fs);  // stays attached to the program
    }
  }
  const GlProgram* result = program.get();
  programs_.emplace(std::move(key), std::move(program));
  return result;
}

std::unique_ptr<GlProgram> ProgramCache::Link(const GlStageShader& vs, const GlStageShader* ps, GLuint vertex,
                                               GLuint pixel) {
  GLuint program = glCreateProgram();
  glAttachShader(program, vertex);
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
  p->vertexBlockSize = BindBlock(program, vs.code, kVertexBlockBinding);
  // The shaders' samplers carry their units as layout bindings.
  if (ps) {
    p->pixelBlockSize = BindBlock(program, ps->code, kPixelBlockBinding);
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
