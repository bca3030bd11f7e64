#include "options/video_page.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cstdio>
#include <mutex>
#include <optional>

#include "display/display_modes.h"
#include "performer/performer.h"

namespace ui {

using namespace video_page;

namespace {

void Fill(QComboBox* combo, const std::vector<ModeEntry>& entries, uint32_t working) {
  combo->clear();
  for (const ModeEntry& entry : entries) combo->addItem(QString::fromStdString(entry.text), entry.data);
  combo->setCurrentIndex(EntryIndex(entries, working));
}

// The item data of the selection; nothing when the list is empty.
std::optional<uint32_t> Selected(const QComboBox* combo) {
  if (combo->currentIndex() < 0) return std::nullopt;
  return combo->currentData().toUInt();
}

// The largest side the display layer can make when it cannot tell.
constexpr uint32_t kFallbackMaxSize = 8192;

}  // namespace

VideoPage::VideoPage(OptionsSheetContext& context, QWidget* parent) : OptionsPage(context, parent) {
  adapters_ = WithId(new QComboBox, kAdapterCombo);
  resolutions_ = WithId(new QComboBox, kResolutionCombo);
  depths_ = WithId(new QComboBox, kDepthCombo);
  rates_ = WithId(new QComboBox, kRateCombo);
  workBuffers_ = WithId(new QComboBox, kWorkBuffersCombo);
  hideCursor_ = WithId(new QCheckBox(tr("Hide mouse when full-screen")), kHideCursorCheck);
  custom_ = WithId(new QCheckBox(tr("Custom Resolution")), kCustomCheck);
  customWidth_ = WithId(new QLineEdit, kCustomWidthEdit);
  customHeight_ = WithId(new QLineEdit, kCustomHeightEdit);
  conserve_ = WithId(new QRadioButton(tr("Conserve memory (pick nearest size, eg 640 becomes 512)")), kConserveRadio);
  preserve_ = WithId(new QRadioButton(tr("Preserve quality (pick next larger size, eg 640 becomes 1024)")),
                     kPreserveRadio);

  auto* form = new QFormLayout;
  form->addRow(tr("Fullscreen Video Card"), adapters_);
  form->addRow(tr("Resolution"), resolutions_);
  form->addRow(tr("Bit Depth"), depths_);
  form->addRow(tr("Frequency"), rates_);
  form->addRow(tr("Number of Work Buffers"), workBuffers_);
  auto* customRow = new QHBoxLayout;
  customRow->addWidget(custom_);
  customRow->addWidget(customWidth_);
  customRow->addWidget(new QLabel(QStringLiteral("x")));
  customRow->addWidget(customHeight_);
  auto* pow2Group = new QGroupBox;
  auto* pow2Layout = new QVBoxLayout(pow2Group);
  pow2Layout->addWidget(new QLabel(tr("When resizing video to meet \"power of two\" size requirements:")));
  pow2Layout->addWidget(conserve_);
  pow2Layout->addWidget(preserve_);
  auto* radios = new QButtonGroup(this);
  radios->addButton(conserve_);
  radios->addButton(preserve_);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(hideCursor_);
  layout->addLayout(customRow);
  layout->addWidget(pow2Group);
  layout->addStretch(1);

  const lv::Performance& performance = context_.performance;
  if (OptionsDisplayModes* display = context_.services.display) {
    for (int i = 0; i < display->AdapterCount(); ++i)
      adapters_->addItem(QString::fromUtf8(display->Adapter(i).description.CStr()));
  }
  if (adapters_->count() > 0)
    adapters_->setCurrentIndex(performance.displayAdapter >= 0 && performance.displayAdapter < adapters_->count()
                                   ? performance.displayAdapter
                                   : 0);
  width_ = static_cast<uint32_t>(performance.width);
  height_ = static_cast<uint32_t>(performance.height);
  bits_ = static_cast<uint32_t>(performance.bitsPerPixel);
  rate_ = static_cast<uint32_t>(performance.refreshRate);
  FillResolutions();
  workBuffers_->addItem(tr("None"));
  for (int n = 1; n <= kMaxWorkBuffers; ++n) workBuffers_->addItem(QString::number(n));
  workBuffers_->setCurrentIndex(std::clamp(performance.workBuffers, 0, kMaxWorkBuffers));
  hideCursor_->setChecked(performance.hide != 0);
  (performance.npw2 != 0 ? conserve_ : preserve_)->setChecked(true);
  customWidth_->setText(QString::number(static_cast<uint32_t>(performance.width)));
  customHeight_->setText(QString::number(static_cast<uint32_t>(performance.height)));
  // A show made at a size the adapter does not list keeps that size: it is
  // shown as the custom size, so OK after another change does not put the
  // list's first mode in its place.
  const bool unlisted = resolutions_->count() > 0 && resolutions_->findData(PackedSize(width_, height_)) < 0;
  const bool custom = performance.cust != 0 || unlisted;
  // The box is ticked only to show that size: the show's own flag, which
  // decides whether it may go full screen, stays until the box is clicked.
  keepCustomFlag_ = performance.cust == 0 && unlisted;
  custom_->setChecked(custom);
  ShowCustom(custom);

  connect(adapters_, &QComboBox::activated, this, [this] {
    MarkChanged();
    FillResolutions();
  });
  connect(resolutions_, &QComboBox::activated, this, [this] {
    MarkChanged();
    if (std::optional<uint32_t> size = Selected(resolutions_)) {
      width_ = *size >> 16;
      height_ = *size & 0xFFFF;
    }
    FillDepths();
  });
  connect(depths_, &QComboBox::activated, this, [this] {
    MarkChanged();
    if (std::optional<uint32_t> bits = Selected(depths_)) bits_ = *bits;
    FillRates();
  });
  connect(rates_, &QComboBox::activated, this, [this] {
    MarkChanged();
    if (std::optional<uint32_t> rate = Selected(rates_)) rate_ = *rate;
  });
  connect(workBuffers_, &QComboBox::activated, this, [this] { MarkChanged(); });
  for (QAbstractButton* button : {static_cast<QAbstractButton*>(hideCursor_), static_cast<QAbstractButton*>(conserve_),
                                  static_cast<QAbstractButton*>(preserve_)})
    connect(button, &QAbstractButton::clicked, this, [this] { MarkChanged(); });
  connect(custom_, &QCheckBox::clicked, this, [this](bool checked) {
    MarkChanged();
    keepCustomFlag_ = false;
    ShowCustom(checked);
  });
  // A size typed is a change: OK applies it and the display is rebuilt for it.
  for (QLineEdit* field : {customWidth_, customHeight_})
    connect(field, &QLineEdit::textEdited, this, [this] { MarkChanged(); });
}

const lv::List* VideoPage::Modes() const {
  OptionsDisplayModes* display = context_.services.display;
  const int adapter = adapters_->currentIndex();
  if (display == nullptr || adapter < 0 || adapter >= display->AdapterCount()) return nullptr;
  return &display->Adapter(adapter).modes;
}

void VideoPage::FillResolutions() {
  const lv::List* modes = Modes();
  Fill(resolutions_, modes != nullptr ? ResolutionEntries(*modes) : std::vector<ModeEntry>{}, PackedSize(width_, height_));
  FillDepths();
}

void VideoPage::FillDepths() {
  const lv::List* modes = Modes();
  Fill(depths_, modes != nullptr ? DepthEntries(*modes, width_, height_) : std::vector<ModeEntry>{}, bits_);
  FillRates();
}

void VideoPage::FillRates() {
  const lv::List* modes = Modes();
  Fill(rates_, modes != nullptr ? RateEntries(*modes, width_, height_, bits_) : std::vector<ModeEntry>{}, rate_);
}

void VideoPage::ShowCustom(bool custom) {
  customWidth_->setEnabled(custom);
  customHeight_->setEnabled(custom);
  resolutions_->setEnabled(!custom);
}

bool VideoPage::CustomSize(uint32_t* width, uint32_t* height) const {
  bool wide = false;
  bool high = false;
  *width = customWidth_->text().trimmed().toUInt(&wide);
  *height = customHeight_->text().trimmed().toUInt(&high);
  return wide && high;
}

uint32_t VideoPage::MaxSize() const {
  const uint32_t max = context_.services.display != nullptr ? context_.services.display->MaxSurfaceSize() : 0;
  return max != 0 ? std::min<uint32_t>(max, 0xFFFF) : kFallbackMaxSize;
}

bool VideoPage::Validate() {
  if (!context_.Changed() || !custom_->isChecked()) return true;
  uint32_t width = 0;
  uint32_t height = 0;
  const uint32_t max = MaxSize();
  if (CustomSize(&width, &height) && width >= 1 && height >= 1 && width <= max && height <= max) return true;
  // A size the device cannot have would fail the display set-up after OK.
  char text[160];
  std::snprintf(text, sizeof text, "The custom resolution must be from 1 x 1 to %u x %u.", max, max);
  Inform(text, kCustomSizeCaption, window::MessageBoxIcon::kWarning);
  customWidth_->setFocus(Qt::OtherFocusReason);
  return false;
}

void VideoPage::Apply() {
  if (!context_.Changed()) return;
  lv::Performance& performance = context_.performance;
  // The sheet leaves the Performer playing, and its passes read the refresh
  // rate (Sample Video records by it): the fields change between passes.
  lv::Performer::FrameHold frame;
  lv::Performer* performer = context_.services.performer;
  if (performer != nullptr) frame = performer->HoldFrame();
  // A render thread that does not answer: the page changes nothing.
  if (performer != nullptr && !frame) return;
  // An empty list keeps what the performance had.
  if (adapters_->currentIndex() >= 0) performance.displayAdapter = adapters_->currentIndex();
  uint32_t width = 0;
  uint32_t height = 0;
  if (custom_->isChecked() && CustomSize(&width, &height)) {
    performance.width = static_cast<int32_t>(width);
    performance.height = static_cast<int32_t>(height);
  } else if (!custom_->isChecked()) {
    if (std::optional<uint32_t> size = Selected(resolutions_)) {
      performance.width = static_cast<int32_t>(*size >> 16);
      performance.height = static_cast<int32_t>(*size & 0xFFFF);
    }
  }
  if (std::optional<uint32_t> bits = Selected(depths_)) performance.bitsPerPixel = static_cast<int32_t>(*bits);
  if (std::optional<uint32_t> rate = Selected(rates_)) performance.refreshRate = static_cast<int32_t>(*rate);
  performance.workBuffers = workBuffers_->currentIndex();
  if (!keepCustomFlag_) performance.cust = custom_->isChecked() ? 1 : 0;
  performance.hide = hideCursor_->isChecked() ? 1 : 0;
  performance.npw2 = conserve_->isChecked() ? 1 : 0;
  performance.modified = 1;
}

}  // namespace ui
