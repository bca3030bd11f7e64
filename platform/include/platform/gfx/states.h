#pragma once
// Render, sampler and texture-stage states with their value enums. A state is
// set with a uint32_t value: a boolean, a number, a colour, one of the value
// enums below (cast), or a float's bits (AlphaRef is an integer 0..255, the
// point size and mip LOD bias are floats given by their bits).
#include <cstdint>

namespace gfx {

enum class RenderState : uint32_t {
  ZEnable,              // default true when a depth-stencil surface is made with the device
  FillMode,             // FillMode::Solid
  ZWriteEnable,         // true
  AlphaTestEnable,      // false
  SrcBlend,             // Blend::One
  DestBlend,            // Blend::Zero
  CullMode,             // Cull::CCW
  ZFunc,                // Cmp::LessEqual
  AlphaRef,             // 0
  AlphaFunc,            // Cmp::Always
  DitherEnable,         // false (no effect)
  AlphaBlendEnable,     // false
  StencilEnable,        // false
  StencilFail,          // StencilOp::Keep
  StencilZFail,         // StencilOp::Keep
  StencilPass,          // StencilOp::Keep
  StencilFunc,          // Cmp::Always
  StencilRef,           // 0
  StencilMask,          // 0xFFFFFFFF
  StencilWriteMask,     // 0xFFFFFFFF
  TextureFactor,        // 0xFFFFFFFF (a D3D colour)
  Lighting,             // true (no effect: vertex processing is always a shader)
  PointSize,            // 1.0f
  ColorWriteEnable,     // 0xF: bit 0 red, 1 green, 2 blue, 3 alpha
  BlendOp,              // BlendOp::Add
  ScissorTestEnable,    // false
  SeparateAlphaBlendEnable,  // false
  SrcBlendAlpha,        // Blend::One
  DestBlendAlpha,       // Blend::Zero
  BlendOpAlpha,         // BlendOp::Add
  BlendFactor,          // 0xFFFFFFFF
  Count
};

enum class SamplerState : uint32_t {
  AddressU,       // Address::Wrap
  AddressV,       // Address::Wrap
  AddressW,       // Address::Wrap
  BorderColor,    // 0 (a D3D colour)
  MagFilter,      // Filter::Point
  MinFilter,      // Filter::Point
  MipFilter,      // Filter::None
  MipMapLodBias,  // 0.0f
  MaxMipLevel,    // 0
  MaxAnisotropy,  // 1
  Count
};

enum class TextureStageState : uint32_t {
  ColorOp,        // stage 0: TextureOp::Modulate, others Disable
  ColorArg1,      // TextureArg::Texture
  ColorArg2,      // TextureArg::Current
  AlphaOp,        // stage 0: TextureOp::SelectArg1, others Disable
  AlphaArg1,      // TextureArg::Texture
  AlphaArg2,      // TextureArg::Current
  TexCoordIndex,  // the stage's number
  ColorArg0,      // TextureArg::Current
  AlphaArg0,      // TextureArg::Current
  ResultArg,      // TextureArg::Current
  Count
};

enum class FillMode : uint32_t { Point = 1, Wireframe = 2, Solid = 3 };
enum class Cull : uint32_t { None = 1, CW = 2, CCW = 3 };
enum class Cmp : uint32_t { Never = 1, Less, Equal, LessEqual, Greater, NotEqual, GreaterEqual, Always };
enum class Blend : uint32_t {
  Zero = 1, One, SrcColor, InvSrcColor, SrcAlpha, InvSrcAlpha, DestAlpha, InvDestAlpha,
  DestColor, InvDestColor, SrcAlphaSat, BlendFactor, InvBlendFactor
};
enum class BlendOp : uint32_t { Add = 1, Subtract, RevSubtract, Min, Max };
enum class StencilOp : uint32_t { Keep = 1, Zero, Replace, IncrSat, DecrSat, Invert, Incr, Decr };

enum class Address : uint32_t { Wrap = 1, Mirror, Clamp, Border, MirrorOnce };
enum class Filter : uint32_t { None = 0, Point, Linear, Anisotropic };

enum class TextureOp : uint32_t {
  Disable = 1, SelectArg1, SelectArg2, Modulate, Modulate2X, Modulate4X,
  Add, AddSigned, AddSigned2X, Subtract, AddSmooth,
  BlendDiffuseAlpha, BlendTextureAlpha, BlendFactorAlpha, BlendCurrentAlpha,
  MultiplyAdd, Lerp
};
// An argument: one source, optionally with the modifier bits.
namespace texarg {
inline constexpr uint32_t Diffuse = 0;
inline constexpr uint32_t Current = 1;
inline constexpr uint32_t Texture = 2;
inline constexpr uint32_t TFactor = 3;
inline constexpr uint32_t Specular = 4;
inline constexpr uint32_t Temp = 5;
inline constexpr uint32_t Constant = 6;
inline constexpr uint32_t SelectMask = 0xF;
inline constexpr uint32_t Complement = 0x10;
inline constexpr uint32_t AlphaReplicate = 0x20;
}  // namespace texarg

// Colour write mask bits.
namespace colorwrite {
inline constexpr uint32_t Red = 1, Green = 2, Blue = 4, Alpha = 8, All = 0xF;
}

inline constexpr int kTextureStages = 8;

// A float state value from its bits and back.
inline uint32_t FloatBits(float f) { uint32_t u; __builtin_memcpy(&u, &f, 4); return u; }
inline float BitsFloat(uint32_t u) { float f; __builtin_memcpy(&f, &u, 4); return f; }

}  // namespace gfx
