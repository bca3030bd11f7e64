#pragma once
// Direct3D 9 semantics of shader inputs and outputs. Direct3D links a vertex
// and a pixel shader by semantic, so every varying is named and located from
// its semantic alone, the same in any shader that uses it.
#include <optional>
#include <string>
#include <string_view>

namespace gfx::shader {

struct Semantic {
  std::string name;  // upper case, without index: "TEXCOORD"
  int index = 0;
};

// "texcoord3" -> {"TEXCOORD", 3}; "SV_Position" -> {"POSITION", 0}; "SV_Target1" -> {"COLOR", 1}.
Semantic ParseSemantic(std::string_view text);

// The location of a varying with this semantic, or nullopt when the semantic
// cannot be passed between the stages.
std::optional<int> VaryingLocation(const Semantic& semantic);

// GLSL name of the varying, the same in both stages: "vary_TEXCOORD0".
std::string VaryingName(const Semantic& semantic);

}  // namespace gfx::shader
