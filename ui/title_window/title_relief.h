#pragma once
// The title picture's relief and its light: the picture's pixels are
// heights, and each frame lights them from the mouse pointer through a table
// of light levels by distance. Integer arithmetic and one lookup per pixel.
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace ui {

inline constexpr int kLightTableSize = 64;
// Entry [j][i] (at j * kLightTableSize + i): the light level at (4i, 4j)
// pixels from the light.
using LightTable = std::array<uint8_t, kLightTableSize * kLightTableSize>;
LightTable MakeLightTable();

// An 8-bit picture whose pixel values are heights, rows top first, and the
// palette that turns a light level into a colour (0xAARRGGBB).
struct TitlePicture {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> heights;
  std::array<uint32_t, 256> palette{};
};

// A bitmap resource: a 40-byte header, the palette, 8-bit rows padded to 4
// bytes (bottom row first unless the height is negative). Nothing for
// anything else.
std::optional<TitlePicture> ReadTitlePicture(std::span<const uint8_t> dib);

// One frame: every pixel off the outer border gets the light at its offset
// from (lightX, lightY) (in the picture's pixels) bent by the slope of the
// heights there; too far for the table is dark. `frame` has the picture's
// size; its border pixels are left as they are.
void LightRelief(const TitlePicture& picture, int lightX, int lightY, const LightTable& table, uint8_t* frame);

}  // namespace ui
