#pragma once
// One parameter's knob: a fixed value turned with the mouse, or a MIDI
// controller, LFO or audio band that the knob follows every 25 ms while the
// mouse chooses which one. The knob never touches the plug-in; its owner
// hears about every user change through `onNotify`.
#include <QTimer>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <string>

#include "lv/param_info.h"
#include "modulation/lfo.h"

namespace lv {
class MidiControllerTable;
}

namespace ui {

// Where a modulated knob reads its source. Anything left empty reads as the
// knob's minimum.
struct KnobSources {
  const lv::MidiControllerTable* controllers = nullptr;
  std::function<int()> lastController;     // the controller that moved last
  const lv::Lfo* lfos = nullptr;           // lv::kLfoCount entries
  std::function<float(int)> bandLevel;     // audio band 0-5, 0..1
};

class KnobControl final : public QWidget {
 public:
  enum Mode : int { Fixed = 0, Controller = 1, LfoSource = 2, Band = 3 };
  enum Notification : int { kValueChanged = 1040, kSourceChanged = 1042, kModeChanged = 1043 };
  static constexpr int kTravel = 1024;       // mouse positions per full turn
  static constexpr int kLastControllerNumber = 155;
  static constexpr int kBandCount = 6;
  static constexpr int kRefreshMs = 25;

  KnobControl(QWidget* parent, int id, const KnobSources& sources);
  ~KnobControl() override;

  int Id() const { return id_; }
  int32_t Value() const { return value_; }
  void SetValue(int32_t value);
  void SetRange(int32_t min, int32_t max);
  void SetWrap(bool wrap) { wrap_ = wrap; }
  void SetMode(int mode);
  void SetController(uint8_t channel, int32_t controller);
  void SetLfo(int32_t lfo);
  void SetFormatter(lv::ParamFormat format) { format_ = format; update(); }
  void SetFormatterArguments(lv::Plug* instance, int32_t index) {
    formatInstance_ = instance;
    formatIndex_ = index;
  }
  int Mode() const { return mode_; }
  int32_t ControllerIndex() const { return controller_; }
  int32_t LfoIndex() const { return lfo_; }
  uint8_t Channel() const { return channel_; }
  bool Wraps() const { return wrap_; }
  int32_t Min() const { return min_; }
  int32_t Max() const { return max_; }
  int Position() const { return position_; }
  bool TimerRunning() const { return timer_.isActive(); }
  std::string Caption() const;
  // One refresh tick: reads the source and redraws when the value moved.
  void Refresh();

  // The value a modulated knob shows for its source's current reading.
  int32_t SourceValue() const;

  // Shared by every knob: what the mouse chose last, and how many knobs exist.
  static int32_t lastController;
  static int32_t lastLfo;
  static int count;

  // The knob's parent hears of user changes: (knob, notification code).
  std::function<void(KnobControl&, int)> onNotify;

  QRect DialRect() const { return dial_; }
  QPoint PointAt(double fraction, double distance, bool fullCircle = false) const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void Notify(int code);
  void UpdateNameTip();
  void EndDrag();
  void CycleMode();
  double Fraction() const;

  KnobSources sources_;
  int id_;
  QTimer timer_;
  QRect dial_, topLabel_, bottomLabel_;
  QPoint centre_;
  int mode_ = Fixed;
  bool wrap_ = false;
  bool dragging_ = false;
  QPoint last_;
  int32_t min_ = 0;
  int32_t max_ = 16383;
  lv::ParamFormat format_ = nullptr;
  lv::Plug* formatInstance_ = nullptr;
  int32_t formatIndex_ = 0;
  int32_t value_ = 0;
  int position_ = 0;
  double scale_ = 16383.0 / kTravel;
  int32_t controller_ = -1;
  uint8_t channel_ = 0;
  int32_t lfo_ = -1;
};

}  // namespace ui
