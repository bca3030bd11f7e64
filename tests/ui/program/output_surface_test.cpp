// The picture the device hands over where it cannot present into a window:
// handed over from another thread, it is painted by the surface; queued for
// a surface that is deleted before the user-interface thread gets to it, it
// is dropped.
#include <gtest/gtest.h>

#include <QApplication>
#include <QEvent>
#include <QImage>
#include <QPointer>
#include <cstdint>
#include <memory>
#include <thread>
#include <vector>

#include "output_window.h"

namespace {

constexpr int kWidth = 32;
constexpr int kHeight = 24;

// Counts the paint events a widget gets.
class PaintCounter final : public QObject {
 public:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) ++paints;
    return false;
  }
  int paints = 0;
};

// Hands a picture of one colour to each surface from a thread of its own, as
// the render thread does.
void HandOver(const std::vector<app::OutputSurface*>& surfaces, uint32_t rgba) {
  std::vector<uint32_t> pixels(kWidth * kHeight, rgba);
  std::thread render([&] {
    for (app::OutputSurface* surface : surfaces)
      surface->ShowPicture(
          gfx::PresentImage{reinterpret_cast<const uint8_t*>(pixels.data()), kWidth, kHeight, kWidth * 4});
  });
  render.join();
}

TEST(OutputSurface, PictureQueuedForADeletedSurfaceIsDroppedAndReachesTheOthers) {
  QWidget window;
  window.resize(2 * kWidth, kHeight);
  auto* kept = new app::OutputSurface(&window);
  kept->setGeometry(0, 0, kWidth, kHeight);
  auto* closing = new app::OutputSurface(&window);
  closing->setGeometry(kWidth, 0, kWidth, kHeight);
  window.show();
  QApplication::processEvents();
  PaintCounter counter;
  kept->installEventFilter(&counter);

  HandOver({kept, closing}, 0xFF00FF00u);  // opaque green, bytes R G B A
  delete closing;                          // as the floating preview goes
  QApplication::processEvents();           // runs what was queued for both

  EXPECT_GE(counter.paints, 1) << "the kept surface repaints with its new picture";
  const QImage shown = kept->grab().toImage();
  EXPECT_EQ(shown.pixelColor(kWidth / 2, kHeight / 2), QColor(0, 255, 0));
}

}  // namespace
