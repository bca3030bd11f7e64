#pragma once
// The floating preview: a top-most window "Lorvane GPU Preview" that takes
// the windowed picture over from the main dialog's output area and gives it
// back when it closes. It keeps the picture's shape while resized, a double
// click toggles a frameless maximised view, and it plays from the keyboard.
#include <QPointer>
#include <QWidget>
#include <functional>

#include "floating_preview/keep_aspect.h"
#include "main_dialog/keyboard_play.h"
#include "main_dialog/main_dialog_services.h"

namespace ui {

class FloatingPreview;

class FloatingPreviewWindow final : public QWidget {
 public:
  static constexpr char kTitle[] = "Lorvane GPU Preview";

  FloatingPreviewWindow(FloatingPreview& owner, QWidget* surface);
  QWidget* Surface() const { return surface_; }
  bool IsFrameless() const { return frameless_; }

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  void changeEvent(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void SetFrameless(bool frameless);
  // Framed, neither maximised nor filling the screen: a place to come back to.
  bool IsPlaced() const;
  bool FillsScreen() const;
  // The window system has put the restored window back at its former place
  // (Qt's own geometry runs ahead of it, so only its events count).
  void SettleAt(const QRect& now);

  static constexpr int kSettleMs = 2000;

  FloatingPreview& owner_;
  QWidget* surface_;
  QRect last_;    // the geometry the last resize left
  QRect normal_;  // the inside of the window where it was last placed
  bool settling_ = false;  // restored, on the way back to normal_
  bool frameless_ = false;
  bool keeping_ = false;
};

class FloatingPreview {
 public:
  struct Links {
    lv::Performer* performer = nullptr;  // required: its state can refuse the toggle
    DisplayControl* display = nullptr;   // the windowed display switch
    QWidget* outputArea = nullptr;       // where the docked picture is, and a new window's place
    // The picture's surface inside the output area: hidden while floating, so
    // that the area shows its plain background, as an empty static does.
    QWidget* dockedSurface = nullptr;
    KeyboardTargets keys;
    // The widget the picture is shown in inside a new floating window; a
    // plain one when not given.
    std::function<QWidget*(QWidget* parent)> makeSurface;
    // The back buffer's size, whose shape the window keeps.
    std::function<void(uint32_t* width, uint32_t* height)> backBufferSize;
  };

  explicit FloatingPreview(Links links);
  ~FloatingPreview();

  // Docked: a new floating window at the output area's place becomes the
  // windowed target. Floating: the output area is the target again and the
  // window goes. Refused (false) while recording or playing a capture file,
  // whose display must not be switched under them.
  bool Toggle();
  bool IsFloating() const { return window_ != nullptr; }
  FloatingPreviewWindow* Window() const { return window_; }

  // For the window.
  const KeyboardTargets& Keys() const { return links_.keys; }
  SizingRect KeepAspect(SizingEdge edge, SizingRect dragged) const;
  // The window's picture surface may have a new native window (its frame
  // changed): the display is set up into it again.
  void SurfaceMayHaveChanged();

 private:
  bool Busy() const;

  Links links_;
  QPointer<FloatingPreviewWindow> window_;
  WId surfaceId_ = 0;  // the native window the display was set up into
};

}  // namespace ui
