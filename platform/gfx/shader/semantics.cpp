#include "semantics.h"

#include <cctype>

namespace gfx::shader {

Semantic ParseSemantic(std::string_view text) {
  std::string upper;
  for (char c : text) upper += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  size_t digits = upper.size();
  while (digits > 0 && std::isdigit(static_cast<unsigned char>(upper[digits - 1]))) --digits;
  Semantic semantic;
  semantic.name = upper.substr(0, digits);
  if (digits < upper.size() && upper.size() - digits < 6) semantic.index = std::stoi(upper.substr(digits));
  if (semantic.name == "SV_POSITION") semantic.name = "POSITION";
  if (semantic.name == "SV_TARGET") semantic.name = "COLOR";
  if (semantic.name == "SV_DEPTH") semantic.name = "DEPTH";
  return semantic;
}

std::optional<int> VaryingLocation(const Semantic& s) {
  // Within the 32 vec4 varyings a GL 4.5 implementation offers.
  struct Range {
    std::string_view name;
    int first;
    int count;
  };
  static constexpr Range kRanges[] = {
      {"TEXCOORD", 0, 16}, {"COLOR", 16, 4},       {"NORMAL", 20, 2},       {"TANGENT", 22, 1},
      {"BINORMAL", 23, 1}, {"FOG", 24, 1},         {"BLENDWEIGHT", 25, 1},  {"BLENDINDICES", 26, 1},
      {"POSITION", 26, 5},  // POSITION0 is the position itself; 1-4 are varyings
      {"TESSFACTOR", 31, 1},
  };
  for (const Range& r : kRanges)
    if (s.name == r.name && s.index >= 0 && s.index < r.count) {
      if (s.name == "POSITION" && s.index == 0) return std::nullopt;
      return r.first + s.index;
    }
  return std::nullopt;
}

std::string VaryingName(const Semantic& semantic) {
  return "vary_" + semantic.name + std::to_string(semantic.index);
}

}  // namespace gfx::shader
