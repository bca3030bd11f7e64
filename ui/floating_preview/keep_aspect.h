#pragma once
// The floating preview's sizing rule: while an edge or corner is dragged the
// window keeps the back buffer's shape, so the picture is never stretched.
#include <cstdint>

namespace ui {

enum class SizingEdge { kLeft, kRight, kTop, kBottom, kTopLeft, kTopRight, kBottomLeft, kBottomRight };

// A window rectangle; right and bottom are one past the last pixel.
struct SizingRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  bool operator==(const SizingRect&) const = default;
};

// What a window's frame adds to its picture's width and height.
struct FrameExtra {
  int width = 0;
  int height = 0;
};

// The rectangle `dragged` made to keep the back buffer's ratio: dragging a
// side edge sets the height, the top and bottom edges and the right-hand
// corners set the right edge, the left-hand corners the left edge. The ratio
// is exact (width / height as a fraction, not an integer quotient), each new
// size truncated. With Ctrl held, or without a back buffer, the rectangle
// stays as dragged.
SizingRect FloatingPreviewKeepAspect(SizingEdge edge, SizingRect dragged, uint32_t backBufferWidth,
                                     uint32_t backBufferHeight, FrameExtra frame, bool controlHeld);

}  // namespace ui
