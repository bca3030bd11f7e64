#pragma once
// What the HLSL compiler hands to the device: GLSL text for one stage and the
// reflection the device and the constant table need. No GL in here.
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace gfx {

enum class ShaderStage { Vertex, Pixel };

// Direct3D 9 register counts per stage (c registers, float4 each).
inline constexpr int kVertexConstantRegisters = 256;
inline constexpr int kPixelConstantRegisters = 224;
inline constexpr int kSamplerUnits = 16;

enum class ConstantClass { Scalar, Vector, MatrixRows, MatrixColumns, Object, Struct };
enum class ConstantType { Void, Bool, Int, Float, Texture, Sampler, Sampler1D, Sampler2D, Sampler3D, SamplerCube };

// One global of the shader, as its constant table describes it.
struct ShaderConstant {
  std::string name;
  ConstantClass cls = ConstantClass::Scalar;
  ConstantType type = ConstantType::Float;
  int rows = 1;
  int columns = 1;
  int elements = 1;        // array length (1 when not an array)
  int registerIndex = 0;   // first c register, or the sampler unit for samplers
  int registerCount = 0;   // registers used (sampler units for samplers)
  // Where the value lives in this stage's uniform block (not used for samplers).
  uint32_t blockOffset = 0;
  uint32_t arrayStride = 0;   // bytes between array elements (0 when not an array)
  uint32_t matrixStride = 0;  // bytes between matrix rows/columns as stored
  bool rowMajor = false;      // SPIR-V RowMajor decoration of the member
  // Samplers: the sampler_state { State = Value; } pairs of the text, as
  // written. The compile path ignores them, as Direct3D 9's did; kept for
  // whoever wants to apply them.
  std::vector<std::pair<std::string, std::string>> samplerStates;
};

// A vertex-shader input, matched to declaration elements by semantic.
struct VertexInput {
  std::string semantic;  // upper case without index: "POSITION", "NORMAL", "COLOR", "TEXCOORD"
  int semanticIndex = 0;
  int location = 0;      // GLSL attribute location in `glsl`
};

// A varying between the stages, matched by semantic like a vertex input.
// Added for the device: when no pixel shader is bound, its fixed-function
// pixel stage reads COLOR0/COLOR1/TEXCOORDn of the vertex shader from these
// locations, so the compiler lists every varying it declares here. Every
// varying is a vec4 named "vary_<SEMANTIC><index>" at the interface, whatever
// width the HLSL gives it (missing components read 0, w reads 1).
struct StageVarying {
  std::string semantic;  // as VertexInput::semantic: "COLOR", "TEXCOORD", ...
  int semanticIndex = 0;
  int location = 0;
};

// A compiled shader of one stage.
struct ShaderCode {
  ShaderStage stage = ShaderStage::Vertex;
  std::string entryPoint;
  std::string profile;        // "vs_3_0", "ps_2_0", ...
  std::string glsl;           // complete GLSL source for this stage
  std::string uniformBlock;   // name of this stage's uniform block in `glsl` ("" when none)
  uint32_t uniformBlockSize = 0;
  int uniformBinding = 0;     // binding point of that block
  std::vector<ShaderConstant> constants;  // what the entry point reads, in declaration order, samplers included
  std::vector<VertexInput> inputs;        // vertex stage only
  std::vector<StageVarying> varyings;     // vertex: outputs; pixel: inputs (added, see StageVarying)
  // Pixel-centre fix: the vertex GLSL declares `uniform vec2 <pixelFixUniform>;`
  // that the device sets to (+1/W, -(1 - 2 * kPixelCentreStep)/H) of the
  // current target (see kPixelCentreStep).
  std::string pixelFixUniform;
};

// Direct3D 9 puts pixel centres on integer coordinates, half a pixel off GL's.
// Vertically the device shifts the geometry this step short of half a pixel,
// so that an edge through a row of pixel centres covers that row when it is a
// top edge and not when it is a bottom one, as Direct3D's top-left rule does
// (GL's rule, seen through the flipped origin, is the other way round). Every
// interpolated pixel-stage input is then read kPixelCentreStep pixel above
// the fragment's centre, which is where the exact half-pixel shift puts it,
// so values are Direct3D's to the bit. 1/16 pixel is exact on any GL 4
// implementation (the rasteriser's sub-pixel grid and interpolateAtOffset's
// offsets both have at least 4 bits). The price: an edge less than that step
// below a row of pixel centres gives the row to the primitive below it, where
// Direct3D gives it to the one above.
inline constexpr float kPixelCentreStep = 1.0f / 16.0f;

// `interpolateAtOffset(<input>, <this>)` reads an input as above (the same step).
inline constexpr const char* kPixelCentreOffsetGlsl = "vec2(0.0, -0.0625)";

// A point has one value of each input over its whole square, and
// interpolateAtOffset is undefined for points (llvmpipe reads whatever its
// setup left there). The pixel stage declares this uniform bool, and reads
// its inputs as they are where it is true. The device compiles it as a
// constant instead, with a variant of the stage for points: a uniform branch
// in every pixel costs a fill-bound frame several percent.
inline constexpr const char* kPointDrawUniform = "lv_PointDraw";

// The expression that reads pixel-stage input `name` at Direct3D's pixel
// centre, or as it is while points are drawn.
inline std::string PixelInputGlsl(const std::string& name) {
  return std::string("(") + kPointDrawUniform + " ? " + name + " : interpolateAtOffset(" + name + ", " +
         kPixelCentreOffsetGlsl + "))";
}

// Fills this stage's uniform block from the device's register file
// (registers: float4 each, `registerCount` of them). Implemented with the compiler.
void FillUniformBlock(const ShaderCode& code, const float* registers, int registerCount, uint8_t* block);

}  // namespace gfx
