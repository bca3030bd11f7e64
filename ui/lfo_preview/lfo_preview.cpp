#include "lfo_preview/lfo_preview.h"

#include <QPainter>
#include <algorithm>

namespace ui {

LfoPreview::LfoPreview(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  timer_.setInterval(kSampleMs);
  QObject::connect(&timer_, &QTimer::timeout, this, [this] { Tick(); });
}

void LfoPreview::SetSource(const lv::Lfo* source) {
  source_ = source;
  if (source_ != nullptr && !timer_.isActive()) {
    time_ = 0;
    timer_.start();
  } else if (source_ == nullptr && timer_.isActive()) {
    time_ = 0;
    timer_.stop();
  }
  Resample();
}

void LfoPreview::Resample() {
  if (source_ != nullptr) {
    own_ = lv::Lfo{};
    own_.type = source_->type;
    own_.rate = source_->rate;
    own_.phase = source_->phase;
    own_.parm = source_->parm;
    own_.offset = source_->offset;
    own_.scale = source_->scale;
    own_.accumulator = 0.0f;
    own_.output = 0.0f;
    // A generator of its own, from seed 0: random waveforms preview the same
    // way every time, and the live LFOs' sequence is left alone.
    lv::LfoRandom random(0);
    lv::Lfo::Advance(own_, 0, random);
    // Frames near 60 per second, as the render loop advances them, and a
    // sample every 25 ms: exactly 200 of them over the five seconds.
    double frame = 0.0;
    int sinceSample = 0;
    int next = 0;
    for (int ms = 0; ms < kSpanMs; ++ms) {
      frame += 1.0;
      if (frame >= 1000.0 / 60.0) {
        const auto whole = static_cast<uint32_t>(frame);
        lv::Lfo::Advance(own_, whole, random);
        frame -= whole;
      }
      if (++sinceSample >= kSampleMs && next < kSamples) {
        samples_[next++] = own_.output;
        sinceSample -= kSampleMs;
      }
    }
  }
  update();
}

void LfoPreview::Tick() {
  time_ += kSampleMs;
  if (time_ >= kSpanMs) time_ -= kSpanMs;
  if (source_ != nullptr) update();
}

QPoint LfoPreview::SamplePoint(int index) const {
  const QRect r = rect();
  const int cy = r.top() + r.height() / 2;
  return QPoint(r.left() + index * r.width() / kSamples,
                cy - static_cast<int>(r.height() * samples_[index] * 0.5));
}

void LfoPreview::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const QRect r = rect();
  painter.fillRect(r, palette().color(QPalette::Midlight));
  painter.setPen(Qt::white);
  const int cy = r.top() + r.height() / 2;
  painter.drawLine(r.left(), cy, r.right(), cy);
  for (int i = 0; i < 5; ++i) {
    const int x = r.left() + i * r.width() / 5;
    painter.drawLine(x, r.top(), x, r.bottom());
  }
  painter.setPen(Qt::black);
  QPoint points[kSamples];
  for (int i = 0; i < kSamples; ++i) points[i] = SamplePoint(i);
  painter.drawPolyline(points, kSamples);
  const int index = std::clamp(time_ * kSamples / kSpanMs, 0, kSamples - 1);
  painter.setBrush(QColor(0xFF, 0xC0, 0x60));
  painter.drawEllipse(SamplePoint(index), 3, 3);
}

}  // namespace ui
