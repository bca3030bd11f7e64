#include "output_window.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QPointer>
#include <mutex>

#include "platform/window/qt_keys.h"
#include "platform/window/ui_thread.h"

namespace app {
namespace {
std::mutex pictureMutex;
}

OutputSurface::OutputSurface(QWidget* parent) : QWidget(parent) {
  // The device draws into the window itself: Qt must not paint over it.
  setAttribute(Qt::WA_NativeWindow);
  setAttribute(Qt::WA_PaintOnScreen);
  setAttribute(Qt::WA_NoSystemBackground);
  setFocusPolicy(Qt::StrongFocus);
}

gfx::NativeWindow OutputSurface::Native() const {
  if (QGuiApplication::platformName() != "xcb") return {};
  return gfx::NativeWindow{static_cast<uint64_t>(winId())};
}

void OutputSurface::ShowPicture(const gfx::PresentImage& image) {
  QImage copy(image.pixels, image.width, image.height, image.pitch, QImage::Format_RGBA8888);
  {
    std::lock_guard lock(pictureMutex);
    picture_ = copy.copy();
  }
  // The surface may be gone by the time the user-interface thread gets to
  // it (the floating preview closed): the repaint is then dropped.
  window::RunOnUiThread([surface = QPointer<OutputSurface>(this)] {
    if (surface) surface->update();
  });
}

QPaintEngine* OutputSurface::paintEngine() const {
  // Painting on screen is only for the handed-over picture (no window surface).
  return Native().handle != 0 ? nullptr : QWidget::paintEngine();
}

void OutputSurface::paintEvent(QPaintEvent*) {
  if (Native().handle != 0) {
    if (onUncovered) onUncovered();
    return;
  }
  QPainter painter(this);
  std::lock_guard lock(pictureMutex);
  if (picture_.isNull())
    painter.fillRect(rect(), Qt::black);
  else
    painter.drawImage(rect(), picture_);
}

OutputWindow::OutputWindow(Handlers handlers) : handlers_(std::move(handlers)) {
  setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
  setWindowTitle("Lorvane");
}

void OutputWindow::closeEvent(QCloseEvent* event) { event->ignore(); }

void OutputWindow::keyPressEvent(QKeyEvent* event) {
  if (handlers_.keyDown) handlers_.keyDown(window::VirtualKeyOf(*event), event->isAutoRepeat());
}

void OutputWindow::keyReleaseEvent(QKeyEvent* event) {
  if (event->isAutoRepeat()) return;
  if (handlers_.keyUp) handlers_.keyUp(window::VirtualKeyOf(*event));
}

}  // namespace app
