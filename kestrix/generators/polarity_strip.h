#pragma once
// The one strip every Polarity arc is drawn from: 82 columns of four
// vertices along the arc, each vertex four normalised 16-bit values
// (position along, position across, opacity, unused). The end columns are
// fully transparent and reach a little past the arc, so its ends fade.
#include <array>
#include <cstddef>
#include <cstdint>

namespace kestrix {

inline constexpr int kPolarityColumns = 82;
inline constexpr int kPolarityVertices = 4 * kPolarityColumns;  // 328
inline constexpr int kPolarityIndices = 810;
inline constexpr int kPolarityTriangles = kPolarityIndices - 2;

struct PolarityVertex {
  int16_t x, y, z, w;
};

std::array<PolarityVertex, kPolarityVertices> PolarityStripVertices();
std::array<uint16_t, kPolarityIndices> PolarityStripIndices();

}  // namespace kestrix
