#pragma once
// GL shader objects made from compiled shader code, and the linked programs
// of each vertex/pixel pair (or vertex shader with the fixed-function pixel
// stage), made on first use at draw time.
#include <epoxy/gl.h>

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <tuple>

#include "gl_objects.h"

namespace gfx {

// Uniform block binding points of the two stages.
inline constexpr GLuint kVertexBlockBinding = 0;
inline constexpr GLuint kPixelBlockBinding = 1;

// Compiles one stage's GLSL. False with the GL log on failure.
bool MakeStageShader(const ShaderCode& code, uint64_t id, GlStageShader* out, std::string* log);

struct GlProgram {
  GLuint program = 0;
  GLint pixelFix = -1;
  mutable std::array<float, 2> appliedPixelFix{};  // the uniform's value in the program
  GLint alphaFunc = -1;
  GLint alphaRef = -1;
  GLint textureFactor = -1;
  GLint vertexBlockSize = 0;  // 0: the stage has no uniform block
  GLint pixelBlockSize = 0;
  bool writesPointSize = false;
};

class ProgramCache {
 public:
  ProgramCache() = default;
  ProgramCache(const ProgramCache&) = delete;
  ProgramCache& operator=(const ProgramCache&) = delete;
  ~ProgramCache();

  // ps null: the fixed-function stage, identified by ffKey and made by ffGlsl.
  // alphaTest picks the pixel stage's variant with the alpha test (kept
  // apart: a discard slows every pixel even when it never fires), points the
  // one that reads its inputs as points have them (see kPointDrawUniform).
  // Null when linking fails (logged once; the failure is remembered).
  const GlProgram* Get(const GlStageShader& vs, GlStageShader* ps, bool alphaTest, bool points,
                       const std::string& ffKey, const std::function<std::string()>& ffGlsl);
  // Drops every program that uses the shader.
  void Forget(uint64_t shaderId);
  void Clear();

 private:
  using Key = std::tuple<uint64_t, uint64_t, bool, bool, std::string>;
  // vertex: vs's shader, or a variant of it made for this pair.
  std::unique_ptr<GlProgram> Link(const GlStageShader& vs, const GlStageShader* ps, GLuint vertex, GLuint pixel);
  std::map<Key, std::unique_ptr<GlProgram>> programs_;  // null entries: link failed
};

}  // namespace gfx
