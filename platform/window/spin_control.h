#pragma once
#include <QToolButton>
#include <QWidget>
#include <functional>

namespace window {

// Up-down arrows holding a position within a range. The arrows only ask to
// move (onStep with +1 for up when the range rises); the dialog decides.
class SpinControl final : public QWidget {
 public:
  explicit SpinControl(QWidget* parent);

  void SetRange(int minimum, int maximum);
  // Clamped into the range.
  void SetPosition(int position);
  int Position() const { return position_; }
  int Minimum() const { return minimum_; }
  int Maximum() const { return maximum_; }
  int Clamp(int position) const;

  QToolButton* UpButton() const { return up_; }
  QToolButton* DownButton() const { return down_; }

  std::function<void(int delta)> onStep;

 private:
  QToolButton* up_;
  QToolButton* down_;
  int minimum_ = 0;
  int maximum_ = 100;
  int position_ = 0;
};

}  // namespace window
