#include "options/lfos_page.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QTreeWidget>
#include <mutex>

#include "lfo_preview/lfo_preview.h"
#include "numeric_edit/numeric_edit.h"
#include "options/options_page.h"
#include "performer/performer.h"

namespace ui {
namespace {

int lastLfo = 0;

struct FieldSetting {
  LfosPage::ControlId id;
  const char* label;
  float smallStep, largeStep, minimum, maximum;
};

constexpr FieldSetting kFieldSettings[LfosPage::kFieldCount] = {
    {LfosPage::kMinId, "Min", 1.0f, 5.0f, -100.0f, 100.0f},
    {LfosPage::kMaxId, "Max", 1.0f, 5.0f, -100.0f, 100.0f},
    {LfosPage::kRateId, "Rate", 0.05f, 0.5f, 0.0f, 100.0f},
    {LfosPage::kPhaseId, "Phase", 5.0f, 15.0f, 0.0f, 360.0f},
    {LfosPage::kParameterId, "Parameter", 0.05f, 0.125f, 0.0f, 1.0f},
};

// SmoothRand reads its phase as the chance of a new target.
constexpr FieldSetting kFreqSetting = {LfosPage::kPhaseId, "Freq", 0.5f, 5.0f, 0.0f, 360.0f};

constexpr float kPhaseFromDegrees = 0.0027777778f;

}  // namespace

int LfosPage::LastLfo() { return lastLfo; }

void LfosPage::SetLastLfo(int index) {
  if (index >= 0 && index < lv::kLfoCount) lastLfo = index;
}

LfosPage::LfosPage(OptionsSheetContext& context, QWidget* parent) : QWidget(parent), context_(context) {
  setContextMenuPolicy(Qt::PreventContextMenu);

  list_ = WithId(new QTreeWidget(this), kListId);
  list_->setColumnCount(1);
  list_->setHeaderLabels({QStringLiteral("Index")});
  list_->setColumnWidth(0, 150);
  list_->setMaximumWidth(190);  // the column and a scroll bar
  list_->setRootIsDecorated(false);
  list_->setSelectionMode(QAbstractItemView::SingleSelection);
  list_->setSelectionBehavior(QAbstractItemView::SelectRows);
  for (int i = 0; i < lv::kLfoCount; ++i) list_->addTopLevelItem(new QTreeWidgetItem({QString::number(i)}));

  type_ = WithId(new QComboBox(this), kTypeId);
  for (int type = 0; type < lv::Lfo::kTypeCount; ++type) type_->addItem(QString::fromLatin1(lv::Lfo::TypeName(type)));

  auto* fields = new QGridLayout;
  fields->addWidget(new QLabel(QStringLiteral("Type"), this), 0, 0);
  fields->addWidget(type_, 0, 1);
  for (int field = 0; field < kFieldCount; ++field) {
    const FieldSetting& setting = kFieldSettings[field];
    NumericEdit* edit = WithId(new NumericEdit(NumericEdit::kFloat, this), setting.id);
    edit->SetFloatLimits(setting.smallStep, setting.largeStep, setting.minimum, setting.maximum);
    auto* label = new QLabel(QString::fromLatin1(setting.label), this);
    label->setBuddy(edit);
    if (field == kPhase) phaseLabel_ = WithId(label, kPhaseLabelId);
    fields->addWidget(label, field + 1, 0);
    fields->addWidget(edit, field + 1, 1);
    fields_[static_cast<size_t>(field)] = edit;
    connect(edit, &QLineEdit::textChanged, this, [this, field] {
      if (!updating_) WriteField(static_cast<Field>(field));
    });
  }
  preview_ = WithId(new LfoPreview(this), kPreviewId);
  preview_->setMinimumSize(200, 100);
  fields->addWidget(preview_, kFieldCount + 1, 0, 1, 2);
  fields->setRowStretch(kFieldCount + 2, 1);

  auto* layout = new QHBoxLayout(this);
  layout->addWidget(list_);
  layout->addLayout(fields, 1);

  connect(type_, &QComboBox::currentIndexChanged, this, [this](int index) {
    if (!updating_ && index >= 0 && index < lv::Lfo::kTypeCount) WriteType(index);
  });
  connect(list_, &QTreeWidget::itemSelectionChanged, this, [this] {
    if (!updating_) Load();
  });

  Clear();
  Select(lastLfo);
}

lv::Lfo* LfosPage::Record(int index) const {
  lv::LfoArray& lfos = context_.services.lfos != nullptr ? *context_.services.lfos : lv::LfoTable;
  return &lfos[static_cast<size_t>(index)];
}

int LfosPage::Selected() const {
  const QList<QTreeWidgetItem*> selected = list_->selectedItems();
  return selected.isEmpty() ? -1 : list_->indexOfTopLevelItem(selected.front());
}

void LfosPage::Select(int index) {
  QTreeWidgetItem* item = list_->topLevelItem(index);
  if (item == nullptr) return;
  list_->setCurrentItem(item);
  item->setSelected(true);
  list_->scrollToItem(item);
}

void LfosPage::Load() {
  const int index = Selected();
  if (index < 0) {
    Clear();
    return;
  }
  SetLastLfo(index);
  const lv::Lfo& record = *Record(index);
  updating_ = true;
  FieldEdit(kMin).SetFloat((record.offset - record.scale) * 100.0f);
  FieldEdit(kMax).SetFloat((record.offset + record.scale) * 100.0f);
  FieldEdit(kRate).SetFloat(record.rate);
  FieldEdit(kPhase).SetFloat(record.phase * 360.0f);
  FieldEdit(kParameter).SetFloat(record.parm);
  type_->setCurrentIndex(record.type >= 0 && record.type < lv::Lfo::kTypeCount ? record.type : -1);
  EnableForType(record.type);
  updating_ = false;
  preview_->SetSource(&record);
}

void LfosPage::Clear() {
  updating_ = true;
  for (NumericEdit* edit : fields_) {
    edit->clear();
    edit->setEnabled(false);
  }
  type_->setEnabled(false);
  updating_ = false;
  preview_->SetSource(nullptr);
}

void LfosPage::EnableForType(int type) {
  FieldEdit(kMin).setEnabled(true);
  FieldEdit(kMax).setEnabled(true);
  FieldEdit(kRate).setEnabled(true);
  type_->setEnabled(true);
  FieldEdit(kPhase).setEnabled(type != lv::Lfo::Random && type != lv::Lfo::Brownian);
  FieldEdit(kParameter).setEnabled(type == lv::Lfo::Square);
  const FieldSetting& phase = type == lv::Lfo::SmoothRand ? kFreqSetting : kFieldSettings[kPhase];
  phaseLabel_->setText(QString::fromLatin1(phase.label));
  FieldEdit(kPhase).SetFloatLimits(phase.smallStep, phase.largeStep, phase.minimum, phase.maximum);
}

template <typename Change>
void LfosPage::ChangeRecord(Change change) {
  const int index = Selected();
  if (index < 0) return;
  lv::Lfo& record = *Record(index);
  {
    // The render thread advances the records under the frame lock for a
    // whole pass; a change made under it is never seen halfway.
    lv::Performer::FrameHold frame;
    lv::Performer* performer = context_.services.performer;
    if (performer != nullptr) frame = performer->HoldFrame();
    // A render thread that does not answer: the record stays as it is, and
    // the fields show it again.
    if (performer != nullptr && !frame) {
      Load();
      return;
    }
    change(record);
  }
  context_.SetChanged(kOptionsLfosEdited);
  EnableForType(record.type);
  preview_->Resample();
}

void LfosPage::WriteField(Field field) {
  float value = 0.0f;
  if (!FieldEdit(field).ReadFloat(value)) return;
  // Only the edited field is written: the others may show a clamped or
  // rounded value that must not overwrite what the record holds.
  ChangeRecord([field, value](lv::Lfo& record) {
    switch (field) {
      case kMin: {
        const float max = (record.offset + record.scale) * 100.0f;
        record.offset = (value + max) * 0.005f;
        record.scale = (max - value) * 0.005f;
        break;
      }
      case kMax: {
        const float min = (record.offset - record.scale) * 100.0f;
        record.offset = (min + value) * 0.005f;
        record.scale = (value - min) * 0.005f;
        break;
      }
      case kRate: record.rate = value; break;
      case kPhase: record.phase = value * kPhaseFromDegrees; break;
      case kParameter: record.parm = value; break;
      case kFieldCount: break;
    }
  });
}

void LfosPage::WriteType(int type) {
  ChangeRecord([type](lv::Lfo& record) { record.type = type; });
}

}  // namespace ui
