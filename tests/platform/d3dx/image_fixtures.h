#pragma once
// Small image files written by hand (BMP, TGA, DDS, PPM) or by the real
// encoders (PNG, JPEG), all from one 4 × 2 reference picture, for the reader
// tests and the fuzzer's seed corpus.
#include <cstdint>
#include <string>
#include <vector>

namespace fixtures {

using Bytes = std::vector<uint8_t>;

struct Rgba {
  uint8_t r, g, b, a;
  bool operator==(const Rgba&) const = default;
};

inline constexpr uint32_t kWidth = 4, kHeight = 2;

// Top row first: red, green, blue, white / black, grey, yellow, half-clear cyan.
const std::vector<Rgba>& Reference();

// `bits` 1, 4 or 8 (palette: the reference's colours; 1 bit keeps only
// black and white), 16 (X1R5G5B5, or R5G6B5 with bit fields), 24 or 32.
Bytes Bmp(int bits, bool fileHeader = true, bool topDown = false, bool bitFields565 = false);
Bytes Tga(int bits, bool rle, bool topLeft);
Bytes Ppm(bool binary);
Bytes Png(bool alpha);
Bytes Jpeg();
// Uncompressed 32-bit A8R8G8B8.
Bytes Dds32();
// One 4 × 4 block: DXT1 with c0 = pure red, c1 = pure blue, texel i using
// index i % 4; DXT5 adds alpha a0 = 255, a1 = 0 with texel i using index i % 8.
Bytes DdsDxt(int version);

// A named sample of every kind, for seeding the fuzzer.
std::vector<std::pair<std::string, Bytes>> AllSamples();

}  // namespace fixtures
