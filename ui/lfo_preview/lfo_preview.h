#pragma once
// Five seconds of one LFO's waveform, worked out with the render loop's own
// LFO code, with a dot running along the curve in real time.
#include <QTimer>
#include <QWidget>
#include <array>

#include "modulation/lfo.h"

namespace ui {

class LfoPreview final : public QWidget {
 public:
  static constexpr int kSamples = 200;
  static constexpr int kSampleMs = 25;
  static constexpr int kSpanMs = 5000;

  explicit LfoPreview(QWidget* parent = nullptr);

  // The LFO shown (not owned), or none: the dot then stops and the last
  // curve stays.
  void SetSource(const lv::Lfo* source);
  // The source's settings changed.
  void Resample();
  // One timer step of the dot.
  void Tick();

  const std::array<float, kSamples>& Samples() const { return samples_; }
  int TimeMs() const { return time_; }
  bool TimerRunning() const { return timer_.isActive(); }
  QPoint SamplePoint(int index) const;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QTimer timer_;
  std::array<float, kSamples> samples_{};
  int time_ = 0;
  const lv::Lfo* source_ = nullptr;
  lv::Lfo own_;
};

}  // namespace ui
