// Start-up and shutdown against the log: every step in order, MIDI closed
// and what the performer keeps written before the render thread stops.
#include "program_lifecycle_fixture.h"

namespace {
using namespace lvtest;

TEST_F(ProgramLifecycleTest, StartsAndShutsDownInOrder) {
  ASSERT_TRUE(lifecycle.Startup());
  EXPECT_EQ(performer.State(), lv::Live);
  ASSERT_TRUE(lifecycle.Shutdown());
  EXPECT_EQ(d3d.Device(), nullptr);
  EXPECT_TRUE(InOrder(LogLines(), {
      "Startup starting", "step: host", "step: recent files", "step: settings",
      "Initializing Common Controls", "Initializing plugins and Performer", "step: cursor off",
      "step: plugins", "step: freeframe", "Initializing Direct3D", "SetDisplay started",
      "Halting performance", "Halted performance", "Releasing Capture Surfaces",
      "Releasing Frame Buffer Surfaces", "Calling D3D.Shutdown", "Calling D3D.Init", "Calling Direct3DCreate9",
      "Direct3D created", "Attempting to create hardware device", "Device created", "Clearing device",
      "Preparing framebuffers", "Device pointer acquired", "Calling D3D.GetBackBuffer",
      "BackBuffer pointer acquired", "Non-Pow2 textures are supported", "Calling LVI.GetTargetDesc",
      "Setting viewport properties", "Restoring capture devices and surfaces", "Restoring Frame Buffer surfaces",
      "Restarting performer", "SetDisplay finished", "D3D::GetDriverInfo started", "D3D::GetDriverInfo finished",
      "Initializing DirectSound", "step: sound", "Initializing MIDI device", "MidiClass::Init", "NumDevs : 1",
      "Device 0: Keys", "midi: open 0", "midi: started", "Initializing Capture Manager", "step: capture",
      "Failed to create filter graph", "step: audio input", "Registering Clipboard Format", "step: clipboard",
      "Startup finished",
      "Shutdown starting", "midi: stopped", "midi: closed", "step: save settings", "step: finish render",
      "step: close audio input",
      "step: release capture", "step: unload freeframe", "step: free plugins", "step: release sound",
      "step: cursor on", "Shutdown finished"}));
}

}  // namespace
