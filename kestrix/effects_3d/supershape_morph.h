#pragma once
// The SuperShape's eight superformula shapes, two seconds each, and the
// morph between one and the next.
#include <cstdint>

namespace kestrix {

// One superformula curve: r(a) = (|cos(m a)|^n2 + |sin(m a)|^n3)^(1 / n1).
struct SuperCurve {
  double m, n1, n2, n3;
};

struct SuperShapeRow {
  SuperCurve longitude, latitude;
};

inline constexpr SuperShapeRow kSuperShapes[8] = {
    {{0, 1, 1, 1}, {0, 1, 1, 1}},           {{4, 30, 30, 30}, {4, 30, 30, 30}},
    {{0, 30, 30, 30}, {4, 30, 30, 30}},     {{2, 1, 1, 1}, {4, 1, 1, 1}},
    {{3, 1, 1, 1}, {6, 2, 1, 1}},           {{6, 1, 1, 1}, {3, 1, 1, 1}},
    {{2, 0.7, 0.3, 0.2}, {3, 10, 10, 10}},  {{7, 0.2, 1.7, 1.7}, {7, 0.2, 1.7, 1.7}},
};
inline constexpr uint32_t kSuperShapeMs = 2000;

// The shape `elapsed` ms after the note: row k = (t / 2000) mod 8 eased
// linearly towards the next row over its two seconds.
inline SuperShapeRow SuperShapeAt(uint32_t elapsed) {
  const SuperShapeRow& from = kSuperShapes[(elapsed / kSuperShapeMs) % 8];
  const SuperShapeRow& to = kSuperShapes[(elapsed / kSuperShapeMs + 1) % 8];
  const double f = double(elapsed % kSuperShapeMs) * 0.0005;
  auto mix = [f](const SuperCurve& a, const SuperCurve& b) {
    return SuperCurve{a.m + f * (b.m - a.m), a.n1 + f * (b.n1 - a.n1), a.n2 + f * (b.n2 - a.n2),
                      a.n3 + f * (b.n3 - a.n3)};
  };
  return {mix(from.longitude, to.longitude), mix(from.latitude, to.latitude)};
}

}  // namespace kestrix
