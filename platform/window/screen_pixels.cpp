#include "platform/window/screen_pixels.h"

#include <QEvent>
#include <QGuiApplication>
#include <QImage>
#include <QMouseEvent>
#include <QPixmap>
#include <QPointer>
#include <QScreen>
#include <QWidget>

#include "platform/window/qt_window_handle.h"

namespace window {

std::optional<ColourRef> ScreenPixel(int x, int y) {
  if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr) return std::nullopt;
  QScreen* screen = QGuiApplication::screenAt(QPoint(x, y));
  if (screen == nullptr) return std::nullopt;
  const QPoint at = QPoint(x, y) - screen->geometry().topLeft();
  const QImage pixel = screen->grabWindow(0, at.x(), at.y(), 1, 1).toImage();
  if (pixel.isNull() || pixel.width() < 1 || pixel.height() < 1) return std::nullopt;
  const QRgb colour = pixel.pixel(0, 0);
  return static_cast<ColourRef>(qRed(colour) | qGreen(colour) << 8 | qBlue(colour) << 16);
}

// Sits on the captured window and takes its mouse input. It owns the
// handlers and goes later than a release, so a handler may release the
// capture while it runs.
class MouseCapture::Filter final : public QObject {
 public:
  Filter(QWidget* window, Handlers handlers) : QObject(window), handlers_(std::move(handlers)) {}
  bool released = false;

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (released) return false;
    switch (event->type()) {
      case QEvent::MouseMove: {
        const QPoint at = static_cast<QMouseEvent*>(event)->globalPosition().toPoint();
        if (handlers_.moved) handlers_.moved(at.x(), at.y());
        return true;
      }
      case QEvent::MouseButtonPress: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        const QPoint at = mouse->globalPosition().toPoint();
        if (mouse->button() == Qt::LeftButton && handlers_.leftButtonDown) handlers_.leftButtonDown(at.x(), at.y());
        return true;
      }
      case QEvent::MouseButtonRelease:
      case QEvent::MouseButtonDblClick: return true;
      case QEvent::Hide:
      case QEvent::WindowDeactivate:
        if (handlers_.lost) handlers_.lost();
        return false;
      default: return false;
    }
  }

 private:
  Handlers handlers_;
};

struct MouseCapture::State {
  QPointer<QWidget> window;
  QPointer<Filter> filter;
  bool tracking = false;
};

MouseCapture::MouseCapture(WindowHandle window, Handlers handlers) : state_(std::make_unique<State>()) {
  QWidget* widget = WidgetOf(window);
  if (widget == nullptr) return;
  state_->window = widget;
  state_->filter = new Filter(widget, std::move(handlers));
  // Moves without a button reach a widget only while it tracks the mouse.
  state_->tracking = widget->hasMouseTracking();
  widget->setMouseTracking(true);
  widget->installEventFilter(state_->filter);
  widget->grabMouse();
}

MouseCapture::~MouseCapture() { Release(); }

bool MouseCapture::Active() const { return state_->filter != nullptr && !state_->filter->released; }

void MouseCapture::Release() {
  if (!Active()) return;
  state_->filter->released = true;
  if (QWidget* widget = state_->window) {
    widget->releaseMouse();
    widget->setMouseTracking(state_->tracking);
    widget->removeEventFilter(state_->filter);
  }
  state_->filter->deleteLater();
}

}  // namespace window
