#include "floating_preview/floating_preview.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>
#include <QWindow>

#include "platform/window/qt_keys.h"
#include "platform/window/virtual_keys.h"

namespace ui {
namespace {

// Which edge or corner a resize from `before` to `after` dragged.
SizingEdge DraggedEdge(const QRect& before, const QRect& after) {
  const bool wider = before.width() != after.width();
  const bool taller = before.height() != after.height();
  const bool leftMoved = before.x() != after.x();
  const bool topMoved = before.y() != after.y();
  if (wider && !taller) return leftMoved ? SizingEdge::kLeft : SizingEdge::kRight;
  if (taller && !wider) return topMoved ? SizingEdge::kTop : SizingEdge::kBottom;
  if (leftMoved) return topMoved ? SizingEdge::kTopLeft : SizingEdge::kBottomLeft;
  return topMoved ? SizingEdge::kTopRight : SizingEdge::kBottomRight;
}

SizingRect ToSizing(const QRect& r) { return {r.x(), r.y(), r.x() + r.width(), r.y() + r.height()}; }

}  // namespace

FloatingPreviewWindow::FloatingPreviewWindow(FloatingPreview& owner, QWidget* surface)
    : QWidget(nullptr, Qt::Window | Qt::WindowStaysOnTopHint), owner_(owner), surface_(surface) {
  setWindowTitle(kTitle);
  setFocusPolicy(Qt::StrongFocus);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  surface_->setParent(this);
  layout->addWidget(surface_);
}

void FloatingPreviewWindow::keyPressEvent(QKeyEvent* event) {
  if (event->isAutoRepeat()) return;
  if (!owner_.Keys().KeyDown(window::VirtualKeyOf(*event), window::vk::kDown, window::vk::kUp)) event->ignore();
}

void FloatingPreviewWindow::keyReleaseEvent(QKeyEvent* event) {
  // X11 repeats releases too; only the last one is the key going up.
  const int note = event->isAutoRepeat() ? -1 : owner_.Keys().PlayedNote(window::VirtualKeyOf(*event));
  if (note >= 0)
    owner_.Keys().PushNote(note, false);
  else
    event->ignore();
}

void FloatingPreviewWindow::mouseDoubleClickEvent(QMouseEvent*) { SetFrameless(!frameless_); }

void FloatingPreviewWindow::SetFrameless(bool frameless) {
  frameless_ = frameless;
  // The frame goes and comes back on the window as it is: hiding and showing
  // it again (what setWindowFlags does) lets the window manager forget its
  // state and stacking, racing the new state written before it is mapped.
  const Qt::WindowFlags flags = windowFlags().setFlag(Qt::FramelessWindowHint, frameless);
  overrideWindowFlags(flags);
  if (QWindow* window = windowHandle()) window->setFlags(flags);
  if (frameless) {
    settling_ = false;
    showMaximized();
  } else {
    showNormal();
    // Where it was before, asked for after the window manager's own restore.
    // The sizes it passes through on the way (framed but still maximised,
    // its own idea of the former place) are neither drags whose shape is
    // kept nor places to come back to.
    if (normal_.isValid()) {
      settling_ = true;
      setGeometry(normal_);
      // Should the window manager not give that place back exactly.
      QTimer::singleShot(kSettleMs, this, [this] { settling_ = false; });
    }
  }
  owner_.SurfaceMayHaveChanged();
}

bool FloatingPreviewWindow::FillsScreen() const {
  const QScreen* shown = screen();
  return shown != nullptr && frameGeometry().contains(shown->availableGeometry());
}

bool FloatingPreviewWindow::IsPlaced() const {
  return !frameless_ && !settling_ && windowState() == Qt::WindowNoState && !FillsScreen();
}

void FloatingPreviewWindow::SettleAt(const QRect& now) {
  if (settling_ && now == normal_) settling_ = false;
}

void FloatingPreviewWindow::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() != QEvent::WindowStateChange) return;
  // Maximised by the window manager (its title bar button): the picture
  // loses its frame as well. Restored by it from the borderless picture: the
  // frame comes back.
  if (isMaximized() && !frameless_) {
    frameless_ = true;
    QMetaObject::invokeMethod(this, [this] { SetFrameless(true); }, Qt::QueuedConnection);
  } else if (windowState() == Qt::WindowNoState && frameless_) {
    frameless_ = false;
    QMetaObject::invokeMethod(this, [this] { SetFrameless(false); }, Qt::QueuedConnection);
  }
}

void FloatingPreviewWindow::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  const QRect now = geometry();
  if (event->spontaneous()) SettleAt(now);
  if (!keeping_ && IsPlaced() && last_.isValid() && now.size() != last_.size()) {
    const SizingRect dragged = ToSizing(now);
    const SizingRect kept = owner_.KeepAspect(DraggedEdge(last_, now), dragged);
    if (kept != dragged) {
      keeping_ = true;
      setGeometry(kept.left, kept.top, kept.right - kept.left, kept.bottom - kept.top);
      keeping_ = false;
    }
  }
  last_ = geometry();
  if (IsPlaced()) normal_ = geometry();
}

void FloatingPreviewWindow::moveEvent(QMoveEvent* event) {
  QWidget::moveEvent(event);
  if (event->spontaneous()) SettleAt(geometry());
  if (size() == last_.size()) last_ = geometry();  // moved, not resized from a left or top edge
  if (IsPlaced()) normal_ = geometry();
}

void FloatingPreviewWindow::closeEvent(QCloseEvent* event) {
  // The window goes through the toggle, which may refuse.
  event->ignore();
  owner_.Toggle();
}

FloatingPreview::FloatingPreview(Links links) : links_(std::move(links)) {}

FloatingPreview::~FloatingPreview() { delete window_.data(); }

bool FloatingPreview::Busy() const {
  const lv::PerformerState state = links_.performer->State();
  return state == lv::Recording || state == lv::PlayingCapture;
}

bool FloatingPreview::Toggle() {
  if (Busy()) return false;
  // The display moves with the window: a render thread that does not answer
  // keeps both where they are.
  if (!links_.performer->HoldFrame()) return false;
  FloatingPreviewWindow* closing = nullptr;
  if (window_ == nullptr) {
    QRect place(100, 100, 320, 240);
    if (QWidget* area = links_.outputArea) {
      const QRect inside = area->contentsRect();
      place = QRect(area->mapToGlobal(inside.topLeft()), inside.size());
    }
    QWidget* surface = links_.makeSurface ? links_.makeSurface(nullptr) : new QWidget;
    window_ = new FloatingPreviewWindow(*this, surface);
    window_->setGeometry(place);
    window_->show();
    if (links_.dockedSurface != nullptr) links_.dockedSurface->hide();
    surfaceId_ = surface->winId();
    // The display opens its own connection to the window system: the new
    // window must be there before it is named on another connection.
    QGuiApplication::sync();
  } else {
    closing = window_;
    window_ = nullptr;
    surfaceId_ = 0;
    closing->hide();
    if (links_.dockedSurface != nullptr) {
      links_.dockedSurface->show();
      QGuiApplication::sync();  // mapped before the display is set up into it
    }
  }
  if (links_.display != nullptr) links_.display->SetDisplay(false);
  // Only once the display is set up elsewhere is no picture handed to the
  // closed window's surface any more. Deleted later: this may be its own
  // close, and repaints queued for it are dropped once it has gone.
  if (closing != nullptr) closing->deleteLater();
  // The switch brings the main dialog forward; the preview stays in front of it.
  if (window_ != nullptr) window_->raise();
  return true;
}

void FloatingPreview::SurfaceMayHaveChanged() {
  if (window_ == nullptr || window_->Surface()->winId() == surfaceId_ || Busy()) return;
  if (!links_.performer->HoldFrame()) return;
  surfaceId_ = window_->Surface()->winId();
  QGuiApplication::sync();
  if (links_.display != nullptr) links_.display->SetDisplay(false);
}

SizingRect FloatingPreview::KeepAspect(SizingEdge edge, SizingRect dragged) const {
  uint32_t width = 0, height = 0;
  if (links_.backBufferSize) links_.backBufferSize(&width, &height);
  const bool control = QGuiApplication::queryKeyboardModifiers().testFlag(Qt::ControlModifier);
  return FloatingPreviewKeepAspect(edge, dragged, width, height, {}, control);
}

}  // namespace ui
