#include "floating_preview/keep_aspect.h"

namespace ui {

SizingRect FloatingPreviewKeepAspect(SizingEdge edge, SizingRect dragged, uint32_t backBufferWidth,
                                     uint32_t backBufferHeight, FrameExtra frame, bool controlHeld) {
  if (controlHeld || backBufferWidth == 0 || backBufferHeight == 0) return dragged;
  const int64_t w = dragged.right - dragged.left - frame.width;
  const int64_t h = dragged.bottom - dragged.top - frame.height;
  // Integer division truncates toward zero, as the truncation of the real quotient does.
  const int height = static_cast<int>(w * backBufferHeight / backBufferWidth);
  const int width = static_cast<int>(h * backBufferWidth / backBufferHeight);
  SizingRect kept = dragged;
  switch (edge) {
    case SizingEdge::kLeft:
    case SizingEdge::kRight: kept.bottom = dragged.top + height + frame.height; break;
    case SizingEdge::kTop:
    case SizingEdge::kBottom:
    case SizingEdge::kTopRight:
    case SizingEdge::kBottomRight: kept.right = dragged.left + width + frame.width; break;
    case SizingEdge::kTopLeft:
    case SizingEdge::kBottomLeft: kept.left = dragged.right - width - frame.width; break;
  }
  return kept;
}

}  // namespace ui
