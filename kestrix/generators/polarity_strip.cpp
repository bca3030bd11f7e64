#include "generators/polarity_strip.h"

namespace kestrix {

std::array<PolarityVertex, kPolarityVertices> PolarityStripVertices() {
  // Rows across the arc: (across, opacity); the soft edges fade out.
  constexpr int16_t kRows[4][2] = {{0, 0}, {6000, 32767}, {26767, 32767}, {32767, 0}};
  std::array<PolarityVertex, kPolarityVertices> vertices{};
  for (int c = 0; c < kPolarityColumns; ++c) {
    int x = int(float(c - 1) * 204.79375f);
    const bool end = c == 0 || c == kPolarityColumns - 1;
    if (c == 0) x -= 12;
    if (c == kPolarityColumns - 1) x += 12;
    for (int r = 0; r < 4; ++r) {
      vertices[std::size_t(4 * c + r)] = {int16_t(x), kRows[r][0], end ? int16_t(0) : kRows[r][1], 0};
    }
  }
  return vertices;
}

std::array<uint16_t, kPolarityIndices> PolarityStripIndices() {
  std::array<uint16_t, kPolarityIndices> indices{};
  std::size_t n = 0;
  for (int k = 0; k < kPolarityColumns - 1; ++k) {
    const int a = 4 * k, b = 4 * (k + 1);
    const bool first = k == 0, last = k == kPolarityColumns - 2;
    for (int r = 0; r < 4; ++r) {
      indices[n++] = uint16_t(first ? a + r : b + r);
      indices[n++] = uint16_t(first ? b + r : a + r);
    }
    // Link to the next gap with a repeated vertex; the last gap repeats its end.
    indices[n++] = uint16_t(first ? b + 3 : last ? a + 3 : a + 3);
    indices[n++] = uint16_t(last ? a + 3 : b + 4);
  }
  return indices;
}

}  // namespace kestrix
