#pragma once
// Shared pieces of the media tests: a scratch folder, test pictures painted
// from a colour per quadrant, and reading pixels back.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <unistd.h>

#include "platform/media/video_format.h"

namespace media::testing {

struct Colour {
  uint8_t r, g, b;
};

// Four colours, one per quadrant, so that an upside-down, mirrored or sheared
// picture reads back wrong.
struct Quadrants {
  Colour topLeft, topRight, bottomLeft, bottomRight;
};

// Colours of frame `index`: every quadrant steps by 16 from one frame to the
// next, so that up to kDistinctFrames frames tell apart even after lossy
// compression.
constexpr int kDistinctFrames = 13;
inline Quadrants FrameColours(int index) {
  const uint8_t a = static_cast<uint8_t>(24 + 16 * (index % kDistinctFrames));
  const uint8_t b = static_cast<uint8_t>(240 - a);
  return {{a, 40, 200}, {200, b, 40}, {40, 200, a}, {b, b, b}};
}

// A 32-bit picture in memory, rows `stride` bytes apart; the bytes beyond
// each row are filled with a value no test colour has.
struct Picture {
  int width = 0;
  int height = 0;
  int stride = 0;
  std::vector<uint8_t> bytes;

  Picture(int w, int h, int padding = 0) : width(w), height(h), stride(w * 4 + padding) {
    bytes.assign(static_cast<size_t>(stride) * h, 0x5A);
  }

  // Grain of +-`noise` on every channel makes a picture that compressors
  // can't shrink to almost nothing.
  void Paint(const Quadrants& colours, PixelOrder order, int noise = 0) {
    uint32_t seed = 12345;
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) {
        bool right = x >= width / 2;
        bool bottom = y >= height / 2;
        const Colour& c = bottom ? (right ? colours.bottomRight : colours.bottomLeft)
                                 : (right ? colours.topRight : colours.topLeft);
        auto grain = [&](uint8_t v) {
          if (noise == 0) return v;
          seed = seed * 1103515245u + 12345u;
          int offset = static_cast<int>((seed >> 16) % (2 * noise + 1)) - noise;
          return static_cast<uint8_t>(std::clamp(v + offset, 0, 255));
        };
        uint8_t* p = At(x, y);
        p[0] = grain(order == PixelOrder::BGRX ? c.b : c.r);
        p[1] = grain(c.g);
        p[2] = grain(order == PixelOrder::BGRX ? c.r : c.b);
        p[3] = 0;  // writers must not care
      }
  }

  uint8_t* At(int x, int y) { return bytes.data() + static_cast<size_t>(y) * stride + x * 4; }
  const uint8_t* At(int x, int y) const { return bytes.data() + static_cast<size_t>(y) * stride + x * 4; }
};

// Largest difference of one channel between the picture (BGRX) and the colour.
inline int Difference(const Picture& picture, int x, int y, const Colour& expected) {
  const uint8_t* p = picture.At(x, y);
  int d = std::max({std::abs(p[2] - expected.r), std::abs(p[1] - expected.g), std::abs(p[0] - expected.b)});
  return d;
}

// Largest difference over points near the corners and the middle of every
// quadrant, `inset` pixels inside its edges (lossy codecs blur the edges).
inline int QuadrantDifference(const Picture& picture, const Quadrants& colours, int inset) {
  int worst = 0;
  const int w = picture.width, h = picture.height;
  struct Area {
    int x0, y0, x1, y1;
    Colour colour;
  } areas[] = {{0, 0, w / 2, h / 2, colours.topLeft},
               {w / 2, 0, w, h / 2, colours.topRight},
               {0, h / 2, w / 2, h, colours.bottomLeft},
               {w / 2, h / 2, w, h, colours.bottomRight}};
  for (const Area& a : areas) {
    auto inX = [&](int x) { return std::clamp(x, a.x0, a.x1 - 1); };
    auto inY = [&](int y) { return std::clamp(y, a.y0, a.y1 - 1); };
    const int xs[] = {inX(a.x0 + inset), (a.x0 + a.x1) / 2, inX(a.x1 - 1 - inset)};
    const int ys[] = {inY(a.y0 + inset), (a.y0 + a.y1) / 2, inY(a.y1 - 1 - inset)};
    for (int y : ys)
      for (int x : xs) worst = std::max(worst, Difference(picture, x, y, a.colour));
  }
  return worst;
}

// The frame among the first kDistinctFrames whose colours the picture is
// closest to.
inline int ClosestFrame(const Picture& picture) {
  int best = -1, bestDifference = 1 << 30;
  for (int i = 0; i < kDistinctFrames; ++i) {
    int d = QuadrantDifference(picture, FrameColours(i), 8);
    if (d < bestDifference) best = i, bestDifference = d;
  }
  return best;
}

// A folder of its own for one test, removed afterwards.
class ScratchFolder {
 public:
  ScratchFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "lv-media-XXXXXX").string();
    path_ = mkdtemp(pattern.data()) ? pattern : std::string();
  }
  ~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  std::string File(const std::string& name) const { return (std::filesystem::path(path_) / name).string(); }
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

}  // namespace media::testing
