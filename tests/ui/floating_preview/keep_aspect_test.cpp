// The floating preview's sizing rule as a pure function.
#include <gtest/gtest.h>

#include "floating_preview/keep_aspect.h"

namespace {

using ui::FloatingPreviewKeepAspect;
using ui::SizingEdge;
using ui::SizingRect;

TEST(KeepAspectTest, EachEdgeMovesTheSideTheTableGives) {
  // A framed window over a 640 x 480 back buffer; its frame adds 8 x 27.
  const ui::FrameExtra frame{8, 27};
  const struct {
    const char* what;
    SizingEdge edge;
    SizingRect dragged;
    SizingRect kept;
  } cases[] = {
      {"right edge to a client width of 800", SizingEdge::kRight, {100, 50, 908, 400}, {100, 50, 908, 677}},
      {"left edge to a client width of 800", SizingEdge::kLeft, {100, 50, 908, 400}, {100, 50, 908, 677}},
      {"bottom edge to a client height of 300", SizingEdge::kBottom, {100, 50, 300, 377}, {100, 50, 508, 377}},
      {"top edge", SizingEdge::kTop, {100, 50, 300, 377}, {100, 50, 508, 377}},
      {"top-right corner", SizingEdge::kTopRight, {100, 50, 300, 377}, {100, 50, 508, 377}},
      {"bottom-right corner", SizingEdge::kBottomRight, {100, 50, 300, 377}, {100, 50, 508, 377}},
      {"top-left corner keeps the right edge", SizingEdge::kTopLeft, {100, 50, 900, 377}, {492, 50, 900, 377}},
      {"bottom-left corner", SizingEdge::kBottomLeft, {100, 50, 900, 377}, {492, 50, 900, 377}},
      // 333 / (4/3) = 249.75: truncated, not rounded, and not 333 / 1.
      {"a width that does not divide", SizingEdge::kRight, {0, 0, 341, 100}, {0, 0, 341, 276}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FloatingPreviewKeepAspect(c.edge, c.dragged, 640, 480, frame, false), c.kept) << c.what;
  }
}

TEST(KeepAspectTest, ARatioBelowOneIsNotRoundedAway) {
  // 480 x 640: an integer ratio would be 0 and collapse the window.
  EXPECT_EQ(FloatingPreviewKeepAspect(SizingEdge::kBottom, {0, 0, 10, 800}, 480, 640, {}, false),
            (SizingRect{0, 0, 600, 800}));
  EXPECT_EQ(FloatingPreviewKeepAspect(SizingEdge::kRight, {0, 0, 300, 10}, 480, 640, {}, false),
            (SizingRect{0, 0, 300, 400}));
}

TEST(KeepAspectTest, CtrlOrNoBackBufferLeavesTheRectangleAsDragged) {
  const SizingRect dragged{10, 20, 500, 90};
  EXPECT_EQ(FloatingPreviewKeepAspect(SizingEdge::kRight, dragged, 640, 480, {8, 27}, true), dragged);
  EXPECT_EQ(FloatingPreviewKeepAspect(SizingEdge::kTopLeft, dragged, 0, 480, {}, false), dragged);
  EXPECT_EQ(FloatingPreviewKeepAspect(SizingEdge::kTopLeft, dragged, 640, 0, {}, false), dragged);
}

}  // namespace
