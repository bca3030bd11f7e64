#pragma once
// The Twister's column outline: a circle, a polygon or a star. An object
// with twist angle T (8192 turn units a full turn) stands on the outline at
// that angle; its distance from the axis follows the outline's edges.
#include <cstdint>

namespace kestrix {

inline constexpr int kTwisterCircle = 64;

// Distance from the axis at twist angle `twist` of an outline of `sides`
// sides (64: a circle) with circumradius `radius`; in a star the odd
// vertices sit at half distance.
float TwisterOutlineRadius(int sides, bool star, float radius, float twist);

// Depth shading: objects beyond depth 72 dim, down to 40 % beyond 328.
float TwisterDepthShade(float z);

}  // namespace kestrix
