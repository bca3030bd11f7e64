#include "knobs/knob_control.h"

#include <QCursor>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>

#include "modulation/midi_controller_table.h"

namespace ui {
namespace {

// Rounding of non-negative amounts: add a half and truncate.
int Round(double x) { return static_cast<int>(x + 0.5); }

QFont KnobFont() {
  QFont font(QStringLiteral("Sans"));
  font.setPixelSize(10);
  font.setWeight(QFont::Normal);
  return font;
}

const QColor kDialColour(0x5A, 0x5A, 0x82);
const QColor kDotColour(0xFF, 0xC0, 0x60);

// The bit that sends every second drag move back to the last point, so the
// hidden pointer never reaches the screen's edge.
bool warpOnThisMove = false;

}  // namespace

int32_t KnobControl::lastController = 0;
int32_t KnobControl::lastLfo = 0;
int KnobControl::count = 0;

KnobControl::KnobControl(QWidget* parent, int id, const KnobSources& sources)
    : QWidget(parent), sources_(sources), id_(id) {
  ++count;
  setFont(KnobFont());
  // Right clicks are decided on release: learning needs to see the left
  // button still held, which a context-menu event on press would pre-empt.
  setContextMenuPolicy(Qt::PreventContextMenu);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFocusPolicy(Qt::ClickFocus);
  timer_.setInterval(kRefreshMs);
  QObject::connect(&timer_, &QTimer::timeout, this, [this] { Refresh(); });
  QObject::connect(qApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
    if (state != Qt::ApplicationActive && dragging_) EndDrag();
  });
}

KnobControl::~KnobControl() {
  timer_.stop();
  if (dragging_) EndDrag();
  --count;
}

void KnobControl::SetValue(int32_t value) {
  value_ = value;
  if (mode_ == Fixed) position_ = scale_ > 0 ? static_cast<int>((value_ - static_cast<double>(min_)) / scale_) : 0;
  update();
}

void KnobControl::SetRange(int32_t min, int32_t max) {
  min_ = min;
  max_ = max;
  value_ = std::clamp(value_, std::min(min_, max_), std::max(min_, max_));
  if (mode_ == Fixed) {
    scale_ = (static_cast<double>(max_) - min_) / kTravel;
    position_ = scale_ > 0 ? Round((value_ - static_cast<double>(min_)) / scale_) : 0;
  }
  update();
}

void KnobControl::SetMode(int mode) {
  mode_ = mode;
  switch (mode_) {
    case Controller:
      scale_ = 160.0 / kTravel;
      if (controller_ == -1) controller_ = lastController;
      position_ = Round(controller_ * 6.4);
      break;
    case LfoSource:
      scale_ = 100.0 / kTravel;
      if (lfo_ == -1) lfo_ = lastLfo;
      position_ = Round(lfo_ * 10.24);
      break;
    case Band:
      scale_ = 5.0 / kTravel;
      position_ = 0;
      controller_ = 0;
      break;
    default:
      mode_ = Fixed;
      scale_ = (static_cast<double>(max_) - min_) / kTravel;
      position_ = scale_ > 0 ? Round((value_ - static_cast<double>(min_)) / scale_) : 0;
      break;
  }
  if (mode_ == Fixed) {
    timer_.stop();
  } else {
    timer_.start();
  }
  update();
}

void KnobControl::SetController(uint8_t channel, int32_t controller) {
  controller_ = controller;
  channel_ = channel;
  if (mode_ == Controller) position_ = Round(controller_ / scale_);
  update();
}

void KnobControl::SetLfo(int32_t lfo) {
  lfo_ = lfo;
  if (mode_ == LfoSource) position_ = Round(lfo_ / scale_);
  update();
}

int32_t KnobControl::SourceValue() const {
  const int64_t span = static_cast<int64_t>(max_) - min_;
  switch (mode_) {
    case Controller: {
      const int c = controller_;
      if (sources_.controllers == nullptr || c < 0 || c > kLastControllerNumber) return min_;
      const auto& table = *sources_.controllers;
      const int ch = channel_ & 15;
      if (c < lv::MidiControllerTable::kPitchBendHigh) {
        return static_cast<int32_t>(min_ + (table.Get(ch, c) * span + 64) / 128);
      }
      int64_t x;
      if (c == lv::MidiControllerTable::kPitchBendHigh) {
        x = table.Get(ch, 123) * 128 + table.Get(ch, 124);
      } else {
        const int k = c - 124;
        x = table.Get(ch, k) * 128 + table.Get(ch, k + 32);
      }
      return static_cast<int32_t>(min_ + (x * span + 8192) / 16384);
    }
    case LfoSource:
      if (sources_.lfos == nullptr || lfo_ < 0 || lfo_ >= lv::kLfoCount) return min_;
      return static_cast<int32_t>(min_ + static_cast<int64_t>((sources_.lfos[lfo_].output + 1.0) * 0.5 *
                                                              static_cast<double>(span)));
    case Band: {
      if (!sources_.bandLevel || controller_ < 0 || controller_ >= kBandCount) return min_;
      const int64_t v = min_ + static_cast<int64_t>(static_cast<double>(span) * sources_.bandLevel(controller_));
      return static_cast<int32_t>(std::clamp<int64_t>(v, std::min(min_, max_), std::max(min_, max_)));
    }
    default:
      return value_;
  }
}

void KnobControl::Refresh() {
  if (mode_ == Fixed) return;
  const int32_t value = SourceValue();
  if (value == value_) return;
  value_ = value;
  update(dial_);
}

double KnobControl::Fraction() const {
  if (max_ == min_) return 0.0;
  return (static_cast<double>(value_) - min_) / (static_cast<double>(max_) - min_);
}

QPoint KnobControl::PointAt(double fraction, double distance, bool fullCircle) const {
  const double pi = std::numbers::pi;
  const double angle = fullCircle ? 2 * pi * fraction - pi : 1.5 * pi * fraction - 0.75 * pi;
  return QPoint(static_cast<int>(std::lround(centre_.x() + distance * std::sin(angle))),
                static_cast<int>(std::lround(centre_.y() - distance * std::cos(angle))));
}

std::string KnobControl::Caption() const {
  char text[256] = {};
  switch (mode_) {
    case Controller:
      if (controller_ < lv::MidiControllerTable::kPitchBendHigh) {
        std::snprintf(text, sizeof text, "CC:%d", controller_);
      } else if (controller_ == lv::MidiControllerTable::kPitchBendHigh) {
        std::snprintf(text, sizeof text, "FC:Pitch");
      } else {
        std::snprintf(text, sizeof text, "FC:%d", controller_ - 124);
      }
      break;
    case LfoSource: std::snprintf(text, sizeof text, "LFO:%d", lfo_); break;
    case Band: std::snprintf(text, sizeof text, "Bass %d", controller_ + 1); break;
    default:
      if (format_ != nullptr) {
        format_(value_, text, formatInstance_, formatIndex_);
        text[sizeof text - 1] = '\0';
      } else {
        std::snprintf(text, sizeof text, "%d", value_);
      }
      break;
  }
  return text;
}

void KnobControl::resizeEvent(QResizeEvent*) {
  const QRect client = rect();
  const int h = QFontMetrics(font()).height();
  topLabel_ = QRect(client.left(), client.top(), client.width(), h);
  bottomLabel_ = QRect(client.left(), client.bottom() - h + 1, client.width(), h);
  const int side = std::max(0, client.height() - 2 * h);
  dial_ = QRect(client.left() + (client.width() - side) / 2, client.top() + h, side, side);
  centre_ = QPoint(dial_.left() + side / 2, dial_.top() + side / 2);
  UpdateNameTip();
}

// A name too long for the label shows whole as the knob's tooltip.
void KnobControl::changeEvent(QEvent* event) {
  if (event->type() == QEvent::WindowTitleChange || event->type() == QEvent::FontChange) UpdateNameTip();
  QWidget::changeEvent(event);
}

void KnobControl::UpdateNameTip() {
  const QString name = windowTitle().left(63);
  const bool cut = QFontMetrics(font()).horizontalAdvance(name) > topLabel_.width();
  setToolTip(cut ? name : QString());
}

void KnobControl::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  // The labels keep the colours of an enabled control whatever state the
  // knob or its parents are in: light band, window text on it.
  const QColor light = palette().color(QPalette::Active, QPalette::Midlight);
  const QColor text = palette().color(QPalette::Active, QPalette::WindowText);
  painter.fillRect(rect(), palette().color(QPalette::Active, QPalette::Button));
  painter.fillRect(topLabel_, light);
  const QFontMetrics metrics(font());
  const QString name = metrics.elidedText(windowTitle().left(63), Qt::ElideRight, topLabel_.width());
  painter.setPen(text);
  painter.drawText(topLabel_, Qt::AlignHCenter | Qt::AlignTop | Qt::TextSingleLine, name);

  painter.setPen(Qt::black);
  painter.setBrush(kDialColour);
  painter.drawEllipse(dial_.adjusted(0, 0, -1, -1));
  const double r = dial_.width() / 2.0;
  if (mode_ != Fixed) {
    const double fullScale = mode_ == Controller ? 155.0 : mode_ == LfoSource ? 100.0 : 5.0;
    const int index = mode_ == LfoSource ? lfo_ : controller_;
    painter.setPen(Qt::white);
    painter.drawLine(centre_ - QPoint(1, 1), PointAt(index / fullScale, 0.8 * r));
  }
  const QPoint dot = PointAt(Fraction(), 0.6 * r, wrap_);
  const int dotRadius = static_cast<int>(0.4 * r);
  painter.setPen(Qt::black);
  painter.setBrush(kDotColour);
  painter.drawEllipse(dot, dotRadius, dotRadius);

  const QRect bottom = bottomLabel_.adjusted(0, -1, 0, 0);
  painter.fillRect(bottom, light);
  painter.setPen(text);
  painter.drawText(bottom, Qt::AlignHCenter | Qt::AlignVCenter | Qt::TextSingleLine,
                   metrics.elidedText(QString::fromUtf8(Caption().c_str()), Qt::ElideRight, bottom.width()));
}

void KnobControl::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  dragging_ = true;
  last_ = event->position().toPoint();
  grabMouse();
  setCursor(Qt::BlankCursor);
}

void KnobControl::mouseMoveEvent(QMouseEvent* event) {
  if (!dragging_) return;
  const QPoint point = event->position().toPoint();
  const int dx = point.x() - last_.x();
  const int dy = point.y() - last_.y();
  warpOnThisMove = !warpOnThisMove;
  if (warpOnThisMove) {
    QCursor::setPos(mapToGlobal(last_));
  } else {
    last_ = point;
  }
  int position = position_ + dx - dy;
  if (position < 0 || position > kTravel) {
    if (wrap_ && mode_ == Fixed) {
      position += position < 0 ? kTravel : -kTravel;
    } else {
      position = std::clamp(position, 0, kTravel);
    }
  }
  if (position == position_) return;
  position_ = position;
  switch (mode_) {
    case Fixed: {
      const int32_t value = static_cast<int32_t>(min_ + std::lround(position_ * scale_));
      if (value != value_) {
        value_ = value;
        Notify(kValueChanged);
      }
      break;
    }
    case LfoSource: {
      const int32_t lfo = std::clamp(Round(position_ * scale_), 0, lv::kLfoCount - 1);
      if (lfo != lfo_) {
        lfo_ = lfo;
        lastLfo = lfo;
        Notify(kSourceChanged);
      }
      break;
    }
    default: {
      const int limit = mode_ == Band ? kBandCount - 1 : kLastControllerNumber;
      const int32_t index = std::clamp(Round(position_ * scale_), 0, limit);
      if (index != controller_) {
        lastController = index;
        controller_ = index;
        Notify(kSourceChanged);
      }
      break;
    }
  }
  update();
}

void KnobControl::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) {
    if (dragging_) EndDrag();
    return;
  }
  if (event->button() != Qt::RightButton) return;
  if ((event->buttons() & Qt::LeftButton) && mode_ == Controller) {
    SetController(channel_, sources_.lastController ? sources_.lastController() : 0);
    Notify(kSourceChanged);
    return;
  }
  CycleMode();
}

void KnobControl::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Menu) {
    CycleMode();
    return;
  }
  QWidget::keyPressEvent(event);
}

void KnobControl::CycleMode() {
  SetMode((mode_ + 1) % 4);
  Notify(kModeChanged);
}

void KnobControl::EndDrag() {
  QCursor::setPos(mapToGlobal(last_));
  releaseMouse();
  dragging_ = false;
  unsetCursor();
}

void KnobControl::Notify(int code) {
  if (onNotify) onNotify(*this, code);
}

}  // namespace ui
