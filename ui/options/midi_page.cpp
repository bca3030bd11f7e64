#include "options/midi_page.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <mutex>

#include "files/settings_file.h"
#include "options/options_prompts.h"
#include "performer/performer.h"
#include "platform/midi/short_message.h"

namespace ui {

using namespace midi_page;

namespace {

// The folder as the settings record keeps it.
std::string KeptFolder(const QString& text) {
  return text.left(lv::Settings::kMaxFreeFramePathLength).toStdString();
}

}  // namespace

MidiPage::MidiPage(OptionsSheetContext& context, QWidget* parent) : OptionsPage(context, parent) {
  auto* channelGroup = new QGroupBox(tr("Active MIDI Channels"));
  auto* grid = new QGridLayout(channelGroup);
  for (int c = 0; c < 16; ++c) {
    channels_[c] = WithId(new QCheckBox(QString::number(c + 1)), kChannelChecks[c]);
    grid->addWidget(channels_[c], c / 8, c % 8);
  }
  auto* settingsGroup = new QGroupBox(tr("MIDI Settings"));
  auto* settingsLayout = new QGridLayout(settingsGroup);
  devices_ = WithId(new QComboBox, kDeviceCombo);
  hold_ = WithId(new QCheckBox(tr("Play && Hold Mode")), kHoldCheck);
  settingsLayout->addWidget(new QLabel(tr("MIDI Device")), 0, 0);
  settingsLayout->addWidget(devices_, 0, 1);
  settingsLayout->addWidget(hold_, 1, 0, 1, 2);
  auto* folderGroup = new QGroupBox(tr("FreeFrame Plugin Path"));
  auto* folderLayout = new QHBoxLayout(folderGroup);
  folder_ = WithId(new QLineEdit, kFreeFrameEdit);
  auto* browse = WithId(new QPushButton(tr("Browse")), kBrowse);
  folderLayout->addWidget(folder_, 1);
  folderLayout->addWidget(browse);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(channelGroup);
  layout->addWidget(settingsGroup);
  layout->addWidget(folderGroup);
  layout->addStretch(1);

  const lv::Performance& performance = context_.performance;
  for (int c = 0; c < 16; ++c) channels_[c]->setChecked((performance.channelMask >> c) & 1);
  hold_->setChecked(performance.hold != 0);
  FillDevices();
  if (context_.services.settings != nullptr)
    folder_->setText(QString::fromStdString(context_.services.settings->freeFramePath));

  // A click or a choice counts as a change; typing a folder does not.
  for (QCheckBox* box : channels_) connect(box, &QCheckBox::clicked, this, [this] { MarkChanged(); });
  connect(hold_, &QCheckBox::clicked, this, [this] { MarkChanged(); });
  connect(devices_, &QComboBox::activated, this, [this] { MarkChanged(); });
  connect(browse, &QPushButton::clicked, this, [this] {
    MarkChanged();
    Browse();
  });
}

void MidiPage::FillDevices() {
  devices_->clear();
  if (context_.services.midi == nullptr) return;
  const std::vector<std::string> names = context_.services.midi->DeviceNames();
  for (size_t i = 0; i < names.size(); ++i)
    devices_->addItem(QString::fromStdString(names[i]), static_cast<int>(i));
  if (names.empty()) return;
  // A name saved with the ALSA address, or cut by an earlier version, still
  // finds its device.
  const char* stored = context_.performance.MidiDevice();
  const int match = midi::MatchDeviceName(names, midi::DeviceNameFromPort(stored != nullptr ? stored : ""));
  const int selected = match >= 0 ? match : 0;
  devices_->setCurrentIndex(selected);
}

void MidiPage::Browse() {
  lv::Settings* settings = context_.services.settings;
  const std::optional<std::string> chosen = Prompts().BrowseForFolder(this, kBrowseTitle, folder_->text().toStdString());
  if (!chosen || chosen->empty()) return;
  const std::string folder = KeptFolder(QString::fromStdString(*chosen));
  if (settings != nullptr) settings->freeFramePath = folder;
  folder_->setText(QString::fromStdString(folder));
  Inform(kRestartText, kRestartCaption, window::MessageBoxIcon::kInformation);
}

void MidiPage::Apply() {
  lv::Performance& performance = context_.performance;
  if (context_.Changed()) {
    uint32_t mask = performance.channelMask & ~0xFFFFu;
    for (int c = 0; c < 16; ++c)
      if (channels_[c]->isChecked()) mask |= 1u << c;
    lv::Performer* performer = context_.services.performer;
    {
      // The sheet leaves the Performer playing, and its passes read hold.
      lv::Performer::FrameHold frame;
      if (performer != nullptr) frame = performer->HoldFrame();
      // A render thread that does not answer: the page changes nothing.
      if (performer != nullptr && !frame) return;
      performance.channelMask = mask;
      performance.modified = 1;
      performance.hold = hold_->isChecked() ? 1 : 0;
    }
    // Waits for the pass in progress, then ends every note at once.
    if (performer != nullptr) performer->StopAllNotes();
    // Without devices nothing is selected, and the stored name stays.
    if (devices_->currentIndex() >= 0)
      performance.SetMidiDevice(midi::DeviceNameFromPort(devices_->currentText().toStdString()).c_str());
  }
  if (context_.services.settings != nullptr) context_.services.settings->freeFramePath = KeptFolder(folder_->text());
}

}  // namespace ui
