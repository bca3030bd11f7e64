#pragma once
// The shaders that draw a FreeFrame result: the quad through "matWVP",
// tinted by "Color", sampled from stage 0.
namespace ff {

extern const char kQuadShaderText[];

}  // namespace ff
