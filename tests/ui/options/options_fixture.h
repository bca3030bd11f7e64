#pragma once
// The Options sheet over fake MIDI devices and display adapters, scripted
// prompts and message boxes, and a Performer whose passes the test runs.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <deque>
#include <functional>
#include <memory>

#include "fake_prompts.h"
#include "files/settings_file.h"
#include "options/options_prompts.h"
#include "options/options_sheet.h"
#include "options/sample_request.h"
#include "performer/performer.h"

namespace optionstest {

class FakeMidiDevices final : public ui::OptionsMidiDevices {
 public:
  std::vector<std::string> DeviceNames() override { return names; }
  std::vector<std::string> names;
};

struct ModeRow {
  uint32_t width, height, bits, rate;
};

class FakeDisplayModes final : public ui::OptionsDisplayModes {
 public:
  void AddAdapter(const char* description, const std::vector<ModeRow>& modes) {
    auto& adapter = *adapters.emplace_back(std::make_unique<lv::AdapterInfo>());
    adapter.description.Set(description);
    for (const ModeRow& m : modes)
      adapter.modes.Append(new lv::DisplayModeNode(m.width, m.height, m.bits, m.rate, gfx::Format::X8R8G8B8));
  }
  int AdapterCount() const override { return static_cast<int>(adapters.size()); }
  const lv::AdapterInfo& Adapter(int index) const override { return *adapters[static_cast<size_t>(index)]; }
  uint32_t MaxSurfaceSize() const override { return maxSize; }

  std::vector<std::unique_ptr<lv::AdapterInfo>> adapters;
  uint32_t maxSize = 4096;
};

class ScriptedOptionsPrompts final : public ui::OptionsPrompts {
 public:
  std::optional<std::string> BrowseForFolder(QWidget*, const std::string& title, const std::string& start) override {
    browseTitles.push_back(title);
    browseStarts.push_back(start);
    return folder;
  }
  int ChooseFromMenu(QWidget*, const std::vector<std::string>& items) override {
    menus.push_back(items);
    if (menuAnswers.empty()) return -1;
    const int answer = menuAnswers.front();
    menuAnswers.pop_front();
    return answer;
  }
  bool EditSampleRequest(QWidget*, ui::SampleRequest& request) override {
    requests.push_back(request);
    return editRequest ? editRequest(request) : false;
  }

  std::optional<std::string> folder;
  std::vector<std::string> browseTitles;
  std::vector<std::string> browseStarts;
  std::deque<int> menuAnswers;
  std::vector<std::vector<std::string>> menus;
  std::function<bool(ui::SampleRequest&)> editRequest;
  std::vector<ui::SampleRequest> requests;
};

class OptionsTest : public testing::Test {
 protected:
  OptionsTest() {
    ui::OptionsSheet::SetLastPage(ui::OptionsSheet::kMidiPage);
    context.services.performer = &performer;
    context.services.settings = &settings;
    context.services.midi = &midi;
    context.services.display = &display;
    context.services.prompts = &prompts;
    context.services.lfos = &lfos;
  }
  ~OptionsTest() override {
    sheet.reset();
    performer.Stop(0);
  }

  ui::OptionsSheet& Open(int page) {
    ui::OptionsSheet::SetLastPage(page);
    sheet = std::make_unique<ui::OptionsSheet>(context);
    return *sheet;
  }
  template <typename Widget>
  Widget* Control(int id) const {
    return sheet->findChild<Widget*>(QString::number(id));
  }
  void Click(int id) { Control<QAbstractButton>(id)->click(); }
  // A choice the user makes in a combo box.
  void Choose(int id, int index) {
    QComboBox* combo = Control<QComboBox>(id);
    combo->setCurrentIndex(index);
    Q_EMIT combo->activated(index);
  }
  std::vector<std::string> Items(int id) const {
    std::vector<std::string> items;
    QComboBox* combo = Control<QComboBox>(id);
    for (int i = 0; i < combo->count(); ++i) items.push_back(combo->itemText(i).toStdString());
    return items;
  }
  void Type(int id, const char* text) { Control<QLineEdit>(id)->setText(QString::fromUtf8(text)); }

  lv::Performer performer;
  lv::Performance performance;
  lv::Settings settings;
  FakeMidiDevices midi;
  FakeDisplayModes display;
  ScriptedOptionsPrompts prompts;
  FakePrompts boxes;
  lv::LfoArray lfos{};
  ui::OptionsSheetContext context{performance, {}, 0};
  std::unique_ptr<ui::OptionsSheet> sheet;
};

}  // namespace optionstest
