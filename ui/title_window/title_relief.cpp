#include "title_window/title_relief.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace ui {
namespace {

uint32_t Read32(const uint8_t* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24; }
uint16_t Read16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

}  // namespace

LightTable MakeLightTable() {
  LightTable table{};
  for (int j = 0; j < kLightTableSize; ++j) {
    for (int i = 0; i < kLightTableSize; ++i) {
      const double x = i / 63.0, y = j / 63.0;
      const double falloff = std::max(0.0, 1.0 - std::sqrt(x * x + y * y));
      table[static_cast<size_t>(j * kLightTableSize + i)] = static_cast<uint8_t>(falloff * falloff * 255.5);
    }
  }
  return table;
}

std::optional<TitlePicture> ReadTitlePicture(std::span<const uint8_t> dib) {
  constexpr size_t kHeader = 40;
  if (dib.size() < kHeader || Read32(dib.data()) < kHeader) return std::nullopt;
  const size_t headerSize = Read32(dib.data());
  const auto width = static_cast<int32_t>(Read32(dib.data() + 4));
  const auto rawHeight = static_cast<int32_t>(Read32(dib.data() + 8));
  const uint16_t bits = Read16(dib.data() + 14);
  const uint32_t compression = Read32(dib.data() + 16);
  uint32_t colours = Read32(dib.data() + 32);
  if (colours == 0) colours = 256;
  if (bits != 8 || compression != 0 || colours > 256 || width <= 0 || width > 4096 || rawHeight == 0 ||
      std::abs(rawHeight) > 4096)
    return std::nullopt;
  const int height = std::abs(rawHeight);
  const size_t pitch = (static_cast<size_t>(width) + 3) & ~size_t{3};
  const size_t pixels = headerSize + colours * 4;
  if (headerSize > dib.size() || dib.size() - headerSize < colours * 4 ||
      (dib.size() - pixels) / pitch < static_cast<size_t>(height))
    return std::nullopt;

  TitlePicture picture;
  picture.width = width;
  picture.height = height;
  for (uint32_t i = 0; i < colours; ++i) {
    const uint8_t* entry = dib.data() + headerSize + i * 4;
    picture.palette[i] = 0xFF000000u | uint32_t(entry[2]) << 16 | uint32_t(entry[1]) << 8 | entry[0];
  }
  picture.heights.resize(static_cast<size_t>(width) * static_cast<size_t>(height));
  for (int y = 0; y < height; ++y) {
    const int row = rawHeight > 0 ? height - 1 - y : y;
    std::memcpy(&picture.heights[static_cast<size_t>(y) * static_cast<size_t>(width)],
                dib.data() + pixels + static_cast<size_t>(row) * pitch, static_cast<size_t>(width));
  }
  return picture;
}

void LightRelief(const TitlePicture& picture, int lightX, int lightY, const LightTable& table, uint8_t* frame) {
  // Rows are top first here; bottom-up rows with the light's row turned the
  // same way give the same absolute offsets.
  const int w = picture.width;
  const uint8_t* h = picture.heights.data();
  for (int y = 1; y + 1 < picture.height; ++y) {
    const uint8_t* row = h + y * w;
    uint8_t* out = frame + y * w;
    const int offsetY = y - lightY;
    for (int x = 1; x + 1 < w; ++x) {
      const int dx = std::abs(row[x + 1] - row[x - 1] + (x - lightX));
      const int dy = std::abs(row[x - w] - row[x + w] + offsetY);
      out[x] = dx >= 256 || dy >= 256 ? 0 : table[static_cast<size_t>((dy / 4) * kLightTableSize + dx / 4)];
    }
  }
}

}  // namespace ui
