#pragma once
// One line of text rasterised on the CPU in a chosen font: measured, then
// drawn white on black into an image, as a text patch uploads into a
// texture. Needs the program's GUI application (fonts come from it); without
// one every call fails.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/window/fonts.h"

namespace window {

struct TextExtent {
  uint32_t width = 0;
  uint32_t height = 0;
};

// The pixel extent of `text` (one line, 8-bit characters as Latin-1) in
// `font`: its advance width and the font's line height. False without fonts
// or for an empty text.
bool MeasureText(const FontDescription& font, const std::string& text, TextExtent* extent);

// `text` drawn white on opaque black from the top left of a width x height
// image, rows top first, pixels 0xAARRGGBB. False without fonts or for an
// empty image.
bool RasteriseText(const FontDescription& font, const std::string& text, uint32_t width, uint32_t height,
                   std::vector<uint32_t>* pixels);

}  // namespace window
