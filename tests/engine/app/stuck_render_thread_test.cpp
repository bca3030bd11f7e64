// A render thread that does not end at shutdown leaves what it may still
// touch in place.
#include "program_lifecycle_fixture.h"

// The Mesa driver synchronises its own threads in ways ThreadSanitizer cannot
// see (it is not built with it): its reports from inside the driver are not
// about our code.
extern "C" const char* __tsan_default_suppressions() { return "race:swrast_dri.so\n"; }

namespace {
using namespace lvtest;

TEST_F(ProgramLifecycleTest, ARenderThreadThatDoesNotEndKeepsLibrariesAndDevice) {
  ASSERT_TRUE(lifecycle.Startup());
  auto* performance = new lv::Performance;
  lv::Bank* bank = performance->CreateBank(0);
  performance->SelectBank(0);
  bank->slots[60].patch = std::make_unique<StuckPlug>();
  auto* stuck = static_cast<StuckPlug*>(bank->slots[60].patch.get());
  performer.SetPerformance(performance);
  performer.SetChannelMask(1);
  performer.PushMidi({0x90 | 60u << 8 | 127u << 16, 0});
  while (!stuck->entered) std::this_thread::yield();

  lifecycle.SetStopWait(50);
  EXPECT_FALSE(lifecycle.Shutdown());
  EXPECT_NE(d3d.Device(), nullptr);
  const auto lines = LogLines();
  EXPECT_TRUE(InOrder(lines, {"Performer thread did not end within 50 ms",
                              "Render thread still running: plug-in libraries, the performance and the device are "
                              "left in place",
                              "step: release sound", "Shutdown finished"}));
  EXPECT_EQ(std::find(lines.begin(), lines.end(), "step: free plugins"), lines.end());

  stuck->released = true;
  EXPECT_TRUE(performer.Stop());  // once it has ended, the rest goes
}

}  // namespace
