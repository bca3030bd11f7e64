// Opening and saving projects through the program's own project files while
// the render loop runs its passes: halted passes go on advancing the live
// LFOs as each file loads, with MIDI arriving all the while; a save holds the
// knob turns still on their way to the render thread.
#include <QFile>
#include <QTemporaryDir>
#include <atomic>
#include <cstring>
#include <thread>

#include "main_dialog_fixture.h"
#include "project_files.h"
#include "registry/plug_registry.h"
#include "test_plug.h"

namespace uitest {
namespace {

class OpenProjectThreadTest : public MainDialogTest {
 protected:
  OpenProjectThreadTest() {
    ui::MainDialogServices services = Services();
    services.projects = &files;
    dialog = std::make_unique<ui::MainDialog>(services);
    dialog->AttachToPerformer();
  }
  ~OpenProjectThreadTest() override { dialog.reset(); }
  // A project whose LFOs all have `type`, a rate of `rate` and scale 0.5.
  std::string SavedProject(const char* name, int32_t type, float rate) {
    lv::LfoArray lfos{};
    for (lv::Lfo& lfo : lfos) {
      lfo.type = type;
      lfo.rate = rate;
      lfo.scale = 0.5f;
    }
    lv::Performance performance;
    performance.CreateBank(0);
    const std::string path = folder.filePath(QString::fromUtf8(name)).toStdString();
    performance.name.Assign(path.c_str());
    lv::ProjectFileContext context;
    context.lfos = &lfos;
    EXPECT_TRUE(lv::SavePerformance(performance, false, context));
    return path;
  }
  void Open(const std::string& path) {
    recent.entries = {path};
    dialog->Command(ids::kMenuRecentFirst);
  }

  lv::PlugRegistry registry;
  app::ProjectFiles files{registry, [] { return 1; }, performer};
  QTemporaryDir folder;
};

TEST_F(OpenProjectThreadTest, TheFilesLfosArriveWhileTheRenderLoopAdvancesThem) {
  const std::string squares = SavedProject("squares.LVP", lv::Lfo::Square, 2.0f);
  const std::string saws = SavedProject("saws.LVP", lv::Lfo::Saw, 5.0f);
  lv::LfoTable = lv::LfoArray{};
  ASSERT_TRUE(performer.Start());
  // MIDI input wakes every halted pass at once, as a played keyboard does.
  std::atomic<bool> stop{false};
  std::thread midi([&] {
    while (!stop.load()) {
      performer.TryPushMidi(lv::MidiEvent{0xB0u | 1u << 8 | 64u << 16, 0});
      std::this_thread::yield();
    }
  });
  for (int i = 0; i < 40; ++i) {
    const std::string& path = i % 2 == 0 ? squares : saws;
    Open(path);
    ASSERT_NE(Current(), nullptr);
    EXPECT_EQ(Current()->name.CStr(), path);
  }
  stop = true;
  midi.join();
  ASSERT_TRUE(performer.Stop());
  for (const lv::Lfo& lfo : lv::LfoTable) {
    EXPECT_EQ(lfo.type, lv::Lfo::Saw);
    EXPECT_EQ(lfo.rate, 5.0f);
    EXPECT_EQ(lfo.scale, 0.5f);
  }
}

// The values of the parameter value chunks a saved project holds, in file order.
std::vector<int32_t> SavedParamValues(const std::string& path) {
  QFile file(QString::fromStdString(path));
  if (!file.open(QIODevice::ReadOnly)) return {};
  const QByteArray bytes = file.readAll();
  const uint32_t header[2] = {lv::ChunkTag("PMVL"), 12};  // the tag, the chunk's size with it
  std::vector<int32_t> values;
  for (qsizetype at = bytes.indexOf(QByteArray(reinterpret_cast<const char*>(header), 8)); at >= 0 && at + 12 <= bytes.size();
       at = bytes.indexOf(QByteArray(reinterpret_cast<const char*>(header), 8), at + 1)) {
    int32_t value;
    std::memcpy(&value, bytes.constData() + at + 8, sizeof value);
    values.push_back(value);
  }
  return values;
}

TEST_F(OpenProjectThreadTest, ASaveRightAfterAKnobTurnHoldsTheTurnedValue) {
  auto* performance = new lv::Performance;
  lv::Bank* bank = performance->CreateBank(0);
  performance->SelectBank(0);
  auto owned = std::make_unique<lvtest::TestPlug>(nullptr, "knobbed");
  owned->SetParams({lv::ParamInfo{0, 1000, 0, 0, lv::ChunkTag("LEVL"), "Level", nullptr}});
  lvtest::TestPlug* patch = owned.get();
  lv::NoteSlot& slot = bank->slots[60];
  slot.patch = std::move(owned);
  slot.bindings.Resize(1);
  const std::string path = folder.filePath("turned.LVP").toStdString();
  performance->name.Assign(path.c_str());
  performer.SetPerformance(performance);
  ASSERT_TRUE(performer.Start());
  {
    // The turn comes while a pass is under way: it waits for the next one.
    std::lock_guard<sys::CriticalSection> pass(performer.FrameLock());
    performer.WriteKnob(lv::KnobWrite{patch, &slot.bindings, 0, lv::KnobWrite::kValue, 777});
    ASSERT_EQ(patch->GetParam(0), 0);
    dialog->Command(ids::kMenuSave);
  }
  EXPECT_EQ(SavedParamValues(path), std::vector<int32_t>{777});
  ASSERT_TRUE(performer.Stop());
}

}  // namespace
}  // namespace uitest
