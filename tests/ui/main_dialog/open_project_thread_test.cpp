// Opening projects through the program's own project files while the render
// loop runs its passes, with MIDI arriving all the while: halted passes go on
// advancing the live LFOs as each file loads.
#include <QTemporaryDir>
#include <atomic>
#include <thread>

#include "main_dialog_fixture.h"
#include "project_files.h"
#include "registry/plug_registry.h"

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
  app::ProjectFiles files{registry, [] { return 1; }, performer.FrameLock()};
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

}  // namespace
}  // namespace uitest
