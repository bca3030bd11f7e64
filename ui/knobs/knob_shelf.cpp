#include "knobs/knob_shelf.h"

#include <QScrollBar>
#include <QSignalBlocker>
#include <QWidget>
#include <algorithm>
#include <mutex>

#include "performance/note_slot.h"
#include "performer/performer.h"

namespace ui {

KnobShelf::~KnobShelf() {
  if (row_) delete row_.data();
}

void KnobShelf::Attach(QWidget* view, QScrollBar* bar) {
  view_ = view;
  bar_ = bar;
  if (row_) delete row_.data();
  row_ = new QWidget(view_);
  row_->move(view_->contentsRect().topLeft());
  row_->resize(view_->contentsRect().size());
  row_->show();
  if (bar_) {
    bar_->setEnabled(true);
    bar_->setSingleStep(kKnobWidth);
    bar_->hide();
    QObject::connect(bar_, &QAbstractSlider::actionTriggered, row_, [this](int action) {
      if (settingBar_) return;
      switch (action) {
        case QAbstractSlider::SliderSingleStepAdd: Scroll(window::ScrollCode::kLineRight, 0); break;
        case QAbstractSlider::SliderSingleStepSub: Scroll(window::ScrollCode::kLineLeft, 0); break;
        case QAbstractSlider::SliderPageStepAdd: Scroll(window::ScrollCode::kPageRight, 0); break;
        case QAbstractSlider::SliderPageStepSub: Scroll(window::ScrollCode::kPageLeft, 0); break;
        case QAbstractSlider::SliderToMinimum: Scroll(window::ScrollCode::kLeft, 0); break;
        case QAbstractSlider::SliderToMaximum: Scroll(window::ScrollCode::kRight, 0); break;
        case QAbstractSlider::SliderMove:
          Scroll(window::ScrollCode::kThumbTrack, bar_->sliderPosition());
          break;
        default: break;
      }
    });
  }
}

int KnobShelf::ViewWidth() const { return view_ ? view_->contentsRect().width() : 0; }

KnobControl* KnobShelf::KnobOf(int index) const {
  if (index < 0 || index >= static_cast<int>(knobs_.size())) return nullptr;
  return knobs_[index].data();
}

void KnobShelf::Populate(lv::NoteSlot* slot) {
  for (QPointer<KnobControl>& knob : knobs_) delete knob.data();
  knobs_.clear();
  slot_ = slot;
  plug_ = slot != nullptr ? slot->patch.get() : nullptr;
  lv::ParamBindingSet* set = slot != nullptr ? &slot->bindings : nullptr;
  const int n = set != nullptr ? set->Count() : 0;
  knobs_.resize(n);
  if (!view_ || !row_) return;

  // A set longer than the patch's parameter table is never read past it.
  const int params = plug_ != nullptr ? std::min(n, static_cast<int>(plug_->GetNumParams())) : 0;
  int enabled = 0;
  for (int i = 0; i < params; ++i) enabled += plug_->IsParamEnabled(i) ? 1 : 0;
  // Read between passes (bound parameters change in every pass), after any
  // turn still on its way has reached the patch.
  std::vector<int32_t> values(static_cast<size_t>(params));
  std::vector<lv::ParamBinding> bindings;
  uint8_t channel = 0;
  if (params > 0) {
    lv::Performer::FrameHold frame;
    if (performer_ != nullptr) {
      frame = performer_->HoldFrame();
      // A pass that does not end (a patch stuck in it): the shelf stays empty
      // rather than wait for it.
      if (!frame) {
        Populate(nullptr);
        return;
      }
      performer_->MakeKnobWrites();
    }
    for (int i = 0; i < params; ++i) values[static_cast<size_t>(i)] = plug_->GetParam(i);
    bindings.assign(set->records.begin(), set->records.begin() + params);
    channel = set->channel;
  }
  contentWidth_ = std::max(kKnobWidth * enabled, kMinContentWidth);
  const QRect view = view_->contentsRect();
  row_->resize(std::max(view.width(), contentWidth_), view.height());
  int x = contentWidth_ < view.width() ? (view.width() - contentWidth_) / 2 : 0;
  for (int i = 0; i < params; ++i) {
    if (!plug_->IsParamEnabled(i)) continue;
    const lv::ParamInfo* info = plug_->GetParamInfo(i);
    const lv::ParamBinding& binding = bindings[static_cast<size_t>(i)];
    auto* knob = new KnobControl(row_, i + 1, sources_);
    knob->setWindowTitle(QString::fromUtf8(info != nullptr && info->name != nullptr ? info->name : ""));
    knob->setGeometry(x, 0, kKnobWidth, view.height());
    knob->SetMode(binding.source);
    if (info != nullptr) knob->SetRange(info->min, info->max);
    knob->SetValue(values[static_cast<size_t>(i)]);
    knob->SetController(channel, binding.controller);
    knob->SetLfo(binding.lfo);
    knob->SetFormatter(info != nullptr ? info->format : nullptr);
    knob->SetFormatterArguments(plug_, i);
    knob->SetWrap(info != nullptr && info->wraps != 0);
    knob->onNotify = [this](KnobControl& control, int code) { OnKnob(control, code); };
    knob->show();
    knobs_[i] = knob;
    x += kKnobWidth;
  }
  // The slot's own position is shown again; the bar and the row agree.
  ApplyScroll(slot != nullptr ? static_cast<int>(slot->shelfScroll) : 0);
}

void KnobShelf::Scroll(window::ScrollCode code, int position) {
  const int page = ViewWidth();
  const int m = std::max(0, contentWidth_ - page);
  int p = scroll_;
  switch (code) {
    case window::ScrollCode::kLineLeft: p = std::max(p - kKnobWidth, 0); break;
    case window::ScrollCode::kLineRight: p = std::min(p + kKnobWidth, m); break;
    case window::ScrollCode::kPageLeft: p = std::max(p - page, 0); break;
    case window::ScrollCode::kPageRight: p = std::min(p + page, m); break;
    case window::ScrollCode::kThumbPosition:
    case window::ScrollCode::kThumbTrack: p = static_cast<int16_t>(position); break;
    case window::ScrollCode::kLeft: p = 0; break;
    case window::ScrollCode::kRight: p = m; break;
    default: return;
  }
  ApplyScroll(p);
}

void KnobShelf::ApplyScroll(int position) {
  const int page = ViewWidth();
  const int m = std::max(0, contentWidth_ - page);
  scroll_ = std::clamp(position, 0, m);
  if (slot_ != nullptr) slot_->shelfScroll = static_cast<uint32_t>(scroll_);
  if (bar_) {
    const QSignalBlocker block(bar_.data());
    settingBar_ = true;
    bar_->setRange(0, m);
    bar_->setPageStep(std::max(page, 1));
    bar_->setValue(scroll_);
    settingBar_ = false;
    bar_->setVisible(contentWidth_ > page);
  }
  if (view_ && row_) row_->move(view_->contentsRect().left() - scroll_, view_->contentsRect().top());
}

void KnobShelf::OnKnob(KnobControl& knob, int code) {
  const int i = knob.Id() - 1;
  if (slot_ == nullptr || plug_ == nullptr || i < 0 || i >= slot_->bindings.Count()) return;
  lv::KnobWrite write;
  switch (code) {
    case KnobControl::kValueChanged: write.fields = lv::KnobWrite::kValue; break;
    case KnobControl::kSourceChanged: write.fields = lv::KnobWrite::kSourceIndex; break;
    case KnobControl::kModeChanged:
      write.fields = lv::KnobWrite::kSource | lv::KnobWrite::kSourceIndex | lv::KnobWrite::kValue;
      break;
    default: return;
  }
  write.patch = plug_;
  write.bindings = &slot_->bindings;
  write.index = i;
  write.value = knob.Value();
  write.source = knob.Mode();
  write.controller = knob.ControllerIndex();
  write.lfo = knob.LfoIndex();
  // The render thread applies and renders the patch while the knob turns:
  // the change waits for the next pass rather than the knob for the pass.
  if (performer_ != nullptr)
    performer_->WriteKnob(write);
  else
    write.Make();
}

}  // namespace ui
