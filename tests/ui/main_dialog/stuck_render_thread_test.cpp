// The main dialog while the render thread is stuck in a patch's Render: the
// commands that need a pass are refused without waiting for one, nothing the
// pass is inside is released or deleted, the user is told once, and the
// commands that need no pass still run.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <thread>

#include "main_dialog_fixture.h"
#include "platform/sys/event.h"

namespace uitest {
namespace {

constexpr int kNote = 60;

// Never returns from Render until released, as a broken plug-in's may not.
class StuckPlug final : public lvtest::TestPlug {
 public:
  StuckPlug() : TestPlug(nullptr, "stuck") {}
  void Render(uint32_t) override {
    if (!block.exchange(false)) return;
    inRender.Set();
    release.Wait(60000);
  }
  void NoteOff() override { ++noteOffs; }
  void ReleaseDeviceObjects() override { ++releases; }
  std::atomic<bool> block{true};
  std::atomic<int> noteOffs{0};
  std::atomic<int> releases{0};
  sys::AutoResetEvent inRender;
  sys::AutoResetEvent release;
};

// Ends the test program when a command hangs (the old behaviour).
class Watchdog {
 public:
  Watchdog()
      : thread_([this] {
          std::unique_lock lock(mutex_);
          if (!done_cv_.wait_for(lock, std::chrono::seconds(60), [this] { return done_; })) {
            std::fprintf(stderr, "a command waited for the stuck pass\n");
            std::abort();
          }
        }) {}
  ~Watchdog() {
    {
      std::lock_guard lock(mutex_);
      done_ = true;
    }
    done_cv_.notify_all();
    thread_.join();
  }

 private:
  std::mutex mutex_;
  std::condition_variable done_cv_;
  bool done_ = false;
  std::thread thread_;
};

class StuckRenderThreadTest : public MainDialogTest {
 protected:
  StuckRenderThreadTest() {
    NewPerformance();
    lv::NoteSlot& slot = Current()->currentBank->slots[kNote];
    slot.patch.reset(stuck);
    slot.bindings.Attach(stuck);
    stuck->channelMask = 1;  // played on channel 0, as its bank is
    Current()->CreateBank(1);  // a bank the scroll bar could move to
    performer.SetNotRespondingReport([this] { ++reports; });
    performer.SetUserInterfaceThread(std::this_thread::get_id());
    EXPECT_TRUE(performer.Start());
    performer.PushMidi({0x90u | kNote << 8 | 100u << 16, 0});
    EXPECT_TRUE(stuck->inRender.Wait(60000));
  }
  ~StuckRenderThreadTest() override {
    stuck->release.Set();
    performer.Stop(60000);
  }

  StuckPlug* stuck = new StuckPlug;
  int reports = 0;
};

TEST_F(StuckRenderThreadTest, CommandsThatNeedAPassAreRefusedAndTheOthersRun) {
  lv::Performance* performance = Current();
  dialogs.notes = {kNote, kNote, kNote, kNote};
  dialogs.plugins = {0};
  dialogs.bankNumbers = {5};
  {
    const Watchdog watchdog;
    for (int id : {ids::kDeleteNote, ids::kEdit, ids::kAssign, ids::kPriority, ids::kDeleteBank, ids::kCreateNew,
                   ids::kFull, ids::kMenuNew, ids::kMenuClose, ids::kMenuOpen, ids::kMenuOptions,
                   ids::kMenuCaptureMidi, ids::kMenuRenderCapture})
      dialog->Command(id);
    dialog->Command(ids::kMenuSystemInfo);
    dialog->Command(ids::kListPatches);
    dialog->BankScroll(window::ScrollCode::kLineRight, 0);
  }
  // No dialog asked for what a refused command would have done; the others ran.
  EXPECT_EQ(dialogs.calls, (std::vector<std::string>{"info", "list"}));
  EXPECT_EQ(reports, 1);
  // The pass is inside the patch, which is still there, unreleased.
  EXPECT_EQ(Current(), performance);
  EXPECT_EQ(performance->currentBank->slots[kNote].patch.get(), stuck);
  EXPECT_EQ(performer.ChannelBank(0), performance->currentBank);
  EXPECT_EQ(stuck->noteOffs.load(), 0);
  EXPECT_EQ(stuck->releases.load(), 0);
  EXPECT_TRUE(display.calls.empty());
  EXPECT_TRUE(capture.started.empty());
  EXPECT_EQ(capture.renders, 0);
}

}  // namespace
}  // namespace uitest
