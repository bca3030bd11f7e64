#pragma once
// The main dialog's row of knobs: one per enabled parameter of the note slot
// shown, scrolled sideways by the dialog's shelf scroll bar. Knob turns set
// the patch's parameters; source changes edit the slot's bindings. Both reach
// the patch between the Performer's passes, which read them while they draw.
#include <QPointer>
#include <vector>

#include "knobs/knob_control.h"
#include "main_dialog/main_dialog_services.h"
#include "platform/window/messages.h"

class QScrollBar;
class QWidget;

namespace lv {
class Performer;
}

namespace ui {

class KnobShelf final : public KnobShelfView {
 public:
  static constexpr int kKnobWidth = 44;
  static constexpr int kMinContentWidth = 10;

  // Without a Performer (nothing renders) changes are made at once.
  explicit KnobShelf(const KnobSources& sources, lv::Performer* performer = nullptr)
      : sources_(sources), performer_(performer) {}
  ~KnobShelf() override;

  // The shelf draws inside `view` (its visible part) and scrolls with `bar`.
  void Attach(QWidget* view, QScrollBar* bar);

  void Populate(lv::NoteSlot* slot) override;
  void Scroll(window::ScrollCode code, int position);

  QWidget* Row() const { return row_; }
  int ContentWidth() const { return contentWidth_; }
  int ScrollPosition() const { return scroll_; }
  // The knob of parameter i, or null when it has none.
  KnobControl* KnobOf(int index) const;

 private:
  void OnKnob(KnobControl& knob, int code);
  void ApplyScroll(int position);
  int ViewWidth() const;

  KnobSources sources_;
  lv::Performer* performer_;
  QPointer<QWidget> view_;
  QPointer<QScrollBar> bar_;
  QPointer<QWidget> row_;
  std::vector<QPointer<KnobControl>> knobs_;
  lv::NoteSlot* slot_ = nullptr;
  lv::Plug* plug_ = nullptr;
  int contentWidth_ = kMinContentWidth;
  int scroll_ = 0;
  bool settingBar_ = false;
};

}  // namespace ui
