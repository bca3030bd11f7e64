#pragma once
// A pass over Direct3D 9 HLSL text before the HLSL front end sees it. It
// removes what that front end rejects or misreads (effect syntax: texture and
// string globals, sampler_state blocks, technique/pass blocks, annotations;
// a leading byte-order mark) and the register annotations of globals
// (registers are assigned by this layer), and records what they said.
// Removed text becomes spaces, so line and column numbers of the rest stay
// as written. It also rewrites, without new lines, what the Direct3D 9
// compiler accepts and the front end does not: flat initialiser lists of
// vector and matrix arrays, loop counters read after their loop, and casts
// of vectors to arrays (through helpers put ahead of the text, which then
// starts again at line 1 with "#line 1").
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace gfx::shader {

struct RegisterAnnotation {
  char set = 'c';        // 'c' float constants, 's' samplers, 'b', 'i'
  int index = 0;
  std::string profile;   // "vs", "ps_2_0", ... when given as register(profile, cN)
};

struct GlobalDeclaration {
  std::string name;
  std::string type;      // the type as written, first word: "float4x4", "bool", "sampler2D"
  std::vector<RegisterAnnotation> registers;
  // sampler_state { State = Value; } of a sampler, in the order written.
  std::vector<std::pair<std::string, std::string>> samplerStates;
};

struct CleanedSource {
  std::string text;
  std::vector<GlobalDeclaration> globals;  // declaration order
  std::string error;                       // empty when the pass succeeded
  int errorLine = 0;
};

CleanedSource StripEffectSyntax(std::string_view source);

}  // namespace gfx::shader
