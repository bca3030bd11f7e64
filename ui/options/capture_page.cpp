#include "options/capture_page.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QStyle>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <vector>

#include "capture/capture_manager.h"
#include "options/capture_row.h"
#include "options/options_prompts.h"
#include "options/render_halt.h"
#include "platform/sys/log.h"

namespace ui {

using namespace capture_page;

namespace {

constexpr int kDeviceRole = Qt::UserRole;

// The entries of a device's format or input list, for a popup menu.
template <typename Node, typename Text>
std::vector<Node*> Entries(const lv::List& list, std::vector<std::string>* texts, Text text) {
  std::vector<Node*> nodes;
  for (lv::ListNode* node = list.Head(); node != nullptr; node = node->Next()) {
    nodes.push_back(static_cast<Node*>(node));
    texts->push_back(text(*nodes.back()));
  }
  return nodes;
}

}  // namespace

CapturePage::CapturePage(OptionsSheetContext& context, QWidget* parent) : OptionsPage(context, parent) {
  auto* devicesGroup = new QGroupBox(tr("Detected Capture Devices"));
  list_ = WithId(new QTreeWidget, kDeviceList);
  list_->setRootIsDecorated(false);
  list_->setSelectionMode(QAbstractItemView::SingleSelection);
  (new QVBoxLayout(devicesGroup))->addWidget(list_);
  auto* optionsGroup = new QGroupBox(tr("Device Options"));
  auto* optionsLayout = new QHBoxLayout(optionsGroup);
  mode_ = WithId(new QPushButton(tr("Select Capture Mode")), kModeButton);
  input_ = WithId(new QPushButton(tr("Select Capture Input")), kInputButton);
  flip_ = WithId(new QCheckBox(tr("Flip Vertical")), kFlipCheck);
  optionsLayout->addWidget(mode_);
  optionsLayout->addWidget(input_);
  optionsLayout->addWidget(flip_);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(devicesGroup, 1);
  layout->addWidget(optionsGroup);

  FillList();
  EnableOptions(nullptr);

  connect(list_, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* item) { CheckChanged(item); });
  connect(list_, &QTreeWidget::itemSelectionChanged, this, [this] { SelectionChanged(); });
  connect(mode_, &QPushButton::clicked, this, [this] { ChooseMode(); });
  connect(input_, &QPushButton::clicked, this, [this] { ChooseInput(); });
  connect(flip_, &QCheckBox::clicked, this, [this] { ToggleFlip(); });
}

void CapturePage::FillList() {
  filling_ = true;
  sys::Log("CapOptions: Creating list columns");
  list_->clear();
  list_->setColumnCount(3);
  list_->setHeaderLabels({tr("Device Name"), tr("Status"), tr("Input")});
  list_->header()->resizeSection(0, 190);
  list_->header()->resizeSection(1, 136);
  list_->header()->resizeSection(2, 110);
  sys::Log("CapOptions: Filling capture list");
  if (builtin::CaptureManager* captures = context_.services.captures) {
    int index = 0;
    for (lv::ListNode* node = captures->Devices().Head(); node != nullptr; node = node->Next(), ++index) {
      sys::Log("  Updating item %d", index);
      auto* item = new QTreeWidgetItem(list_);
      item->setData(0, kDeviceRole, QVariant::fromValue<quintptr>(reinterpret_cast<quintptr>(node)));
      Refresh(item);
    }
  }
  filling_ = false;
}

builtin::CaptureDevice* CapturePage::DeviceOf(const QTreeWidgetItem* item) {
  if (item == nullptr) return nullptr;
  return reinterpret_cast<builtin::CaptureDevice*>(item->data(0, kDeviceRole).value<quintptr>());
}

void CapturePage::Refresh(QTreeWidgetItem* item) {
  builtin::CaptureDevice* device = DeviceOf(item);
  if (device == nullptr) return;
  const CaptureRow row = MakeCaptureRow(*device);
  const bool wasFilling = filling_;
  filling_ = true;
  item->setText(0, QString::fromStdString(row.name));
  item->setText(1, QString::fromStdString(row.status));
  item->setText(2, QString::fromStdString(row.input));
  ShowWholeStatus(*item);
  if (row.check == CaptureRow::kNoCheckBox) {
    item->setFlags(item->flags() & ~Qt::ItemIsUserCheckable);
    item->setData(0, Qt::CheckStateRole, QVariant());
  } else {
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(0, row.check == CaptureRow::kChecked ? Qt::Checked : Qt::Unchecked);
  }
  filling_ = wasFilling;
}

// The status names the mode, which can be longer than the column's first
// width: the column grows to show it whole, with the delegate's margins.
void CapturePage::ShowWholeStatus(const QTreeWidgetItem& item) {
  constexpr int kStatusColumn = 1;
  const int margin = 2 * (list_->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, list_) + 1);
  const int needed = list_->fontMetrics().horizontalAdvance(item.text(kStatusColumn)) + margin;
  if (needed > list_->header()->sectionSize(kStatusColumn)) list_->header()->resizeSection(kStatusColumn, needed);
}

void CapturePage::CheckChanged(QTreeWidgetItem* item) {
  builtin::CaptureDevice* device = DeviceOf(item);
  if (filling_ || device == nullptr) return;
  const QVariant state = item->data(0, Qt::CheckStateRole);
  if (!state.isValid()) return;
  const bool checked = state.toInt() == Qt::Checked;
  // itemChanged also reports text changes: only a flip of the box counts.
  if (checked == device->Running()) return;
  MarkChanged();
  {
    // The render thread reads a running device's frames: it is halted while
    // the device starts or stops.
    RenderHalt halt(context_.services.performer);
    if (halt.Refused()) {
      Refresh(item);  // the box shows the device as it still is
      return;
    }
    if (checked)
      device->Start();
    else
      device->Stop();
  }
  Refresh(item);
}

void CapturePage::SelectionChanged() { EnableOptions(SelectedDevice()); }

void CapturePage::EnableOptions(builtin::CaptureDevice* device) {
  const bool available = device != nullptr && device->GetStatus() == builtin::CaptureDevice::kReady;
  mode_->setEnabled(available);
  input_->setEnabled(available);
  flip_->setEnabled(available);
  flip_->setChecked(available && device->Flip());
}

builtin::CaptureDevice* CapturePage::SelectedDevice() const {
  const QList<QTreeWidgetItem*> selected = list_->selectedItems();
  return selected.isEmpty() ? nullptr : DeviceOf(selected.front());
}

template <typename Node, typename Text, typename Choose>
void CapturePage::ChooseFromList(const lv::List& list, Text text, Choose choose) {
  builtin::CaptureDevice* device = SelectedDevice();
  if (device == nullptr) return;
  std::vector<std::string> texts;
  const std::vector<Node*> nodes = Entries<Node>(list, &texts, text);
  const int chosen = Prompts().ChooseFromMenu(this, texts);
  if (chosen < 0 || chosen >= static_cast<int>(nodes.size())) return;
  {
    // A running device restarts with the choice.
    RenderHalt halt(context_.services.performer);
    if (halt.Refused()) return;
    choose(*device, nodes[static_cast<size_t>(chosen)]);
  }
  Refresh(list_->selectedItems().front());
}

void CapturePage::ChooseMode() {
  builtin::CaptureDevice* device = SelectedDevice();
  if (device == nullptr) return;
  ChooseFromList<builtin::CaptureFormat>(device->Formats(), CaptureModeText,
                                         [](builtin::CaptureDevice& d, builtin::CaptureFormat* f) { d.SetFormat(f); });
}

void CapturePage::ChooseInput() {
  builtin::CaptureDevice* device = SelectedDevice();
  if (device == nullptr) return;
  ChooseFromList<builtin::CaptureInput>(
      device->Inputs(),
      [](const builtin::CaptureInput& input) { return std::string(input.Name() != nullptr ? input.Name() : ""); },
      [](builtin::CaptureDevice& d, builtin::CaptureInput* i) { d.SetInput(i); });
}

void CapturePage::ToggleFlip() {
  builtin::CaptureDevice* device = SelectedDevice();
  if (device == nullptr) {
    flip_->setChecked(false);
    return;
  }
  {
    RenderHalt halt(context_.services.performer);
    if (!halt.Refused()) device->SetFlip(!device->Flip());
  }
  flip_->setChecked(device->Flip());
}

}  // namespace ui
