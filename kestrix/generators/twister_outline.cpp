#include "generators/twister_outline.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace kestrix {

float TwisterOutlineRadius(int sides, bool star, float radius, float twist) {
  if (sides == kTwisterCircle || sides < 3) return radius;
  const float n = float(sides);
  float e = std::fmod(twist * n / 8192.0f, n);
  if (e < 0.0f) e += n;
  // Rounding can bring a tiny negative angle up to n itself: stay on the last edge.
  const int edge = std::min(int(e), sides - 1);
  const float f = std::clamp(e - float(edge), 0.0f, 1.0f);
  auto vertex = [&](int j, float* x, float* y) {
    const float angle = 2.0f * std::numbers::pi_v<float> * float(j) / n;
    const float r = star && (j % 2) == 1 ? 0.5f * radius : radius;
    *x = r * std::cos(angle);
    *y = -r * std::sin(angle);
  };
  float x0, y0, x1, y1;
  vertex(edge, &x0, &y0);
  vertex(edge + 1, &x1, &y1);
  // A negative radius keeps the objects on the far side of the axis, as it
  // does for the circle.
  return std::copysign(std::hypot(x0 + f * (x1 - x0), y0 + f * (y1 - y0)), radius);
}

float TwisterDepthShade(float z) {
  if (z <= 72.0f) return 1.0f;
  const float beyond = z - 72.0f;
  return beyond < 256.0f ? 0.4f + 0.6f * (256.0f - beyond) / 256.0f : 0.4f;
}

}  // namespace kestrix
