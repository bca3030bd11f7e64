#pragma once
// The rectangle a source's consumer samples: half a texel in from the
// top-left corner and half a texel past the bottom-right one, so that a
// quad drawn at the frame's own size maps every texel onto one pixel.
#include <cstdint>

namespace builtin {

struct TexelRect {
  float uv[4] = {0, 0, 1, 1};  // left u, top v, right u, bottom v

  void Set(uint32_t width, uint32_t height) {
    // An empty frame keeps the whole texture rather than dividing by zero.
    const float du = width != 0 ? 0.5f / float(width) : 0.0f;
    const float dv = height != 0 ? 0.5f / float(height) : 0.0f;
    uv[0] = du;
    uv[1] = dv;
    uv[2] = 1.0f + du;
    uv[3] = 1.0f + dv;
  }
};

}  // namespace builtin
