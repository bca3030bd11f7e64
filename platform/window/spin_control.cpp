#include "spin_control.h"

#include <QVBoxLayout>
#include <algorithm>

namespace window {

SpinControl::SpinControl(QWidget* parent)
    : QWidget(parent), up_(new QToolButton(this)), down_(new QToolButton(this)) {
  up_->setArrowType(Qt::UpArrow);
  down_->setArrowType(Qt::DownArrow);
  up_->setAutoRepeat(true);
  down_->setAutoRepeat(true);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  for (QToolButton* button : {up_, down_}) {
    button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    layout->addWidget(button);
  }
  const auto step = [this](bool up) {
    const int rising = maximum_ >= minimum_ ? 1 : -1;
    if (onStep) onStep(up ? rising : -rising);
  };
  connect(up_, &QToolButton::clicked, this, [step] { step(true); });
  connect(down_, &QToolButton::clicked, this, [step] { step(false); });
}

void SpinControl::SetRange(int minimum, int maximum) {
  minimum_ = minimum;
  maximum_ = maximum;
  position_ = Clamp(position_);
}

void SpinControl::SetPosition(int position) { position_ = Clamp(position); }

int SpinControl::Clamp(int position) const {
  return std::clamp(position, std::min(minimum_, maximum_), std::max(minimum_, maximum_));
}

}  // namespace window
