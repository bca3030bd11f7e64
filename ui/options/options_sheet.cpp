#include "options/options_sheet.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QTabWidget>
#include <QVBoxLayout>

#include "main_dialog/template_widgets.h"
#include "options/capture_page.h"
#include "options/lfos_page.h"
#include "options/midi_page.h"
#include "options/sampler_page.h"
#include "options/video_page.h"

namespace ui {

namespace {
int lastPage = OptionsSheet::kMidiPage;

// The room every page gets, in dialog units: the sheet is sized for its
// largest page before any page is made, so it keeps one size on all of them.
constexpr int kPageWidthUnits = 275;
constexpr int kPageHeightUnits = 190;
constexpr int kComboMinimumCharacters = 12;
}  // namespace

int OptionsSheet::LastPage() { return lastPage; }
void OptionsSheet::SetLastPage(int index) {
  if (index >= 0 && index < kPageCount) lastPage = index;
}

OptionsSheet::OptionsSheet(OptionsSheetContext& context, QWidget* parent) : QDialog(parent), context_(context) {
  setWindowTitle(kCaption);
  tabs_ = new QTabWidget(this);
  const DialogUnits units(*this);
  const QSize pageRoom(units.X(kPageWidthUnits), units.Y(kPageHeightUnits));
  for (const char* title : kPageTitles) {
    auto* holder = new QWidget;
    holder->setMinimumSize(pageRoom);
    new QVBoxLayout(holder);
    holder->layout()->setContentsMargins(0, 0, 0, 0);
    tabs_->addTab(holder, QString::fromUtf8(title));
  }
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(tabs_);
  layout->addWidget(buttons);

  tabs_->setCurrentIndex(lastPage);
  Activate(tabs_->currentIndex());
  connect(tabs_, &QTabWidget::currentChanged, this, [this](int index) { Activate(index); });
}

void OptionsSheet::ShowPage(int index) { tabs_->setCurrentIndex(index); }

void OptionsSheet::Activate(int index) {
  if (index < 0 || index >= kPageCount) return;
  SetLastPage(index);
  if (pages_[static_cast<size_t>(index)] != nullptr) return;
  QWidget* holder = tabs_->widget(index);
  QWidget* page = MakePage(index, holder);
  if (page == nullptr) return;
  // A long entry (a device's name) never widens the sheet: a list takes the
  // page's width and shows its entries whole in its popup.
  for (QComboBox* combo : page->findChildren<QComboBox*>()) {
    combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    combo->setMinimumContentsLength(kComboMinimumCharacters);
  }
  holder->layout()->addWidget(page);
  pages_[static_cast<size_t>(index)] = page;
  applying_[static_cast<size_t>(index)] = dynamic_cast<OptionsPage*>(page);
}

QWidget* OptionsSheet::MakePage(int index, QWidget* parent) {
  switch (index) {
    case kMidiPage: return new MidiPage(context_, parent);
    case kVideoPage: return new VideoPage(context_, parent);
    case kCapturePage: return new CapturePage(context_, parent);
    case kSamplerPage: return new SamplerPage(context_, parent);
    case kLfosPage: return new LfosPage(context_, parent);
    default: return nullptr;
  }
}

void OptionsSheet::accept() {
  for (int index = 0; index < kPageCount; ++index) {
    OptionsPage* page = applying_[static_cast<size_t>(index)];
    if (page != nullptr && !page->Validate()) {
      ShowPage(index);
      return;
    }
  }
  for (OptionsPage* page : applying_)
    if (page != nullptr) page->Apply();
  QDialog::accept();
}

bool ShowOptionsSheet(OptionsSheetContext& context, QWidget* parent) {
  OptionsSheet sheet(context, parent);
  sheet.exec();
  return context.Changed();
}

}  // namespace ui
