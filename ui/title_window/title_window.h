#pragma once
// Help > About: the title window, a borderless top-most window in the middle
// of the primary screen showing the title picture as a relief lit by a light
// that follows the mouse pointer. Its frames are computed on a thread of
// their own, at most one per refresh of the display, until a click.
#include <QImage>
#include <QObject>
#include <QPointer>
#include <QWidget>
#include <atomic>
#include <mutex>
#include <optional>
#include <span>
#include <thread>

#include "title_window/title_relief.h"

namespace ui {

class TitleWindow;

// The window the frames are shown in.
class TitleView final : public QWidget {
 public:
  static constexpr char kTitle[] = "Lorvane Title Window";

  TitleView(TitleWindow& owner, const TitlePicture& picture);
  // Animation thread: the next frame, shown at the next paint.
  void Present(const uint8_t* frame);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void SampleLight();

  TitleWindow& owner_;
  std::mutex imageMutex_;  // a leaf (lock order: platform/gfx/device_lock.h)
  QImage image_;
  std::atomic<bool> updatePending_{false};
};

class TitleWindow {
 public:
  // Not running -> running (Show) -> stopping (a click) -> not running (once
  // the thread has cleaned up and the window is gone).
  enum class State { kNotRunning, kRunning, kStopping };

  // `dib`: the title picture's bitmap resource (copied).
  explicit TitleWindow(std::span<const uint8_t> dib);
  ~TitleWindow();

  // User-interface thread. Does nothing unless not running, nor without a
  // readable picture.
  void Show();
  State CurrentState() const { return state_; }
  TitleView* View() const { return view_; }

  // From the view (user-interface thread).
  void Stop();
  void SetLight(int x, int y) { light_.store(Pack(x, y)); }

 private:
  static int64_t Pack(int x, int y) { return int64_t(uint32_t(x)) << 32 | uint32_t(y); }
  void Animate(TitleView* view, double refreshHz);
  void Finished();

  std::optional<TitlePicture> picture_;
  State state_ = State::kNotRunning;  // user-interface thread only
  std::atomic<bool> stop_{true};
  std::atomic<int64_t> light_{0};
  QPointer<TitleView> view_;
  std::thread thread_;
  QObject context_;  // receives the thread's last word; gone with this object
};

}  // namespace ui
