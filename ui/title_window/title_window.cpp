#include "title_window/title_window.h"

#include <QCloseEvent>
#include <QCursor>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <chrono>
#include <vector>

namespace ui {

TitleView::TitleView(TitleWindow& owner, const TitlePicture& picture)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      owner_(owner),
      image_(picture.width, picture.height, QImage::Format_Indexed8) {
  setWindowTitle(kTitle);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setCursor(Qt::CrossCursor);
  image_.setColorTable(QList<QRgb>(picture.palette.begin(), picture.palette.end()));
  image_.fill(0);
  setFixedSize(picture.width, picture.height);
}

void TitleView::Present(const uint8_t* frame) {
  {
    std::lock_guard lock(imageMutex_);
    for (int y = 0; y < image_.height(); ++y)
      std::copy_n(frame + static_cast<size_t>(y) * static_cast<size_t>(image_.width()), image_.width(), image_.scanLine(y));
  }
  // One paint request at a time: a slow user interface drops frames, never queues them.
  if (!updatePending_.exchange(true)) {
    QMetaObject::invokeMethod(this, [this] {
      updatePending_.store(false);
      SampleLight();
      update();
    }, Qt::QueuedConnection);
  }
}

void TitleView::SampleLight() {
  const QPoint at = mapFromGlobal(QCursor::pos());
  owner_.SetLight(at.x(), at.y());
}

void TitleView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  std::lock_guard lock(imageMutex_);
  painter.drawImage(0, 0, image_);
}

void TitleView::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton || event->button() == Qt::RightButton) owner_.Stop();
}

void TitleView::closeEvent(QCloseEvent* event) {
  // Closed by the window manager: stopped as by a click; the thread closes it after cleaning up.
  event->ignore();
  owner_.Stop();
}

TitleWindow::TitleWindow(std::span<const uint8_t> dib) : picture_(ReadTitlePicture(dib)) {}

TitleWindow::~TitleWindow() {
  stop_.store(true);
  if (thread_.joinable()) thread_.join();
  delete view_.data();
}

void TitleWindow::Show() {
  if (state_ != State::kNotRunning || !picture_) return;
  state_ = State::kRunning;
  auto* view = new TitleView(*this, *picture_);
  view_ = view;
  QScreen* screen = QGuiApplication::primaryScreen();
  const QRect area = screen != nullptr ? screen->geometry() : QRect(0, 0, 640, 480);
  view->move(area.x() + area.width() / 2 - picture_->width / 2, area.y() + area.height() / 2 - picture_->height / 2);
  const qreal refresh = screen != nullptr ? screen->refreshRate() : 60.0;
  stop_.store(false);
  view->show();
  view->raise();
  thread_ = std::thread([this, view, refresh] { Animate(view, refresh > 1.0 && refresh < 1000.0 ? refresh : 60.0); });
}

void TitleWindow::Stop() {
  if (state_ != State::kRunning) return;
  state_ = State::kStopping;
  stop_.store(true);
}

void TitleWindow::Animate(TitleView* view, double refreshHz) {
  const TitlePicture& picture = *picture_;
  const LightTable table = MakeLightTable();
  std::vector<uint8_t> frame(static_cast<size_t>(picture.width) * static_cast<size_t>(picture.height), 0);
  const auto period = std::chrono::duration_cast<std::chrono::steady_clock::duration>(std::chrono::duration<double>(1.0 / refreshHz));
  auto next = std::chrono::steady_clock::now();
  while (!stop_.load()) {
    const int64_t light = light_.load();
    LightRelief(picture, static_cast<int32_t>(light >> 32), static_cast<int32_t>(light & 0xFFFFFFFF), table, frame.data());
    view->Present(frame.data());
    // Paced by the display's refresh, not as fast as the processor goes.
    next = std::max(next + period, std::chrono::steady_clock::now());
    std::this_thread::sleep_until(next);
  }
  QMetaObject::invokeMethod(&context_, [this] { Finished(); }, Qt::QueuedConnection);
}

void TitleWindow::Finished() {
  if (thread_.joinable()) thread_.join();
  delete view_.data();
  state_ = State::kNotRunning;
}

}  // namespace ui
