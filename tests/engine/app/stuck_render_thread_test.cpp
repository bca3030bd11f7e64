// A render thread that does not end at shutdown leaves what it may still
// touch in place, and does not keep the performer's files from being written.
#include "program_lifecycle_fixture.h"

#include <unistd.h>

#include <filesystem>
#include <iterator>

#include "capture/capture_record.h"
#include "capture/capture_recording.h"

// The Mesa driver synchronises its own threads in ways ThreadSanitizer cannot
// see (it is not built with it): its reports from inside the driver are not
// about our code.
extern "C" const char* __tsan_default_suppressions() { return "race:swrast_dri.so\n"; }

namespace {
using namespace lvtest;

// The MIDI messages of a capture file's event records, in file order; empty
// when a record is cut short.
std::vector<uint32_t> RecordedMessages(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  std::vector<uint32_t> messages;
  for (size_t at = 0; at < bytes.size();) {
    const size_t size =
        bytes[at] == lv::kCaptureEventRecord ? lv::kCaptureEventRecordBytes : lv::kCaptureSpectrumRecordBytes;
    if (at + size > bytes.size()) return {};
    if (bytes[at] == lv::kCaptureEventRecord)
      messages.push_back(bytes[at + 1] | bytes[at + 2] << 8 | bytes[at + 3] << 16 | uint32_t(bytes[at + 4]) << 24);
    at += size;
  }
  return messages;
}

TEST_F(ProgramLifecycleTest, ARenderThreadThatDoesNotEndKeepsLibrariesAndDeviceOnceTheRecordingIsFinished) {
  ASSERT_TRUE(lifecycle.Startup());
  auto* performance = new lv::Performance;
  lv::Bank* bank = performance->CreateBank(0);
  performance->SelectBank(0);
  bank->slots[60].patch = std::make_unique<StuckPlug>();
  auto* stuck = static_cast<StuckPlug*>(bank->slots[60].patch.get());
  performer.SetPerformance(performance);
  performer.SetChannelMask(1);
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / ("lv-stuck-shutdown-" + std::to_string(getpid()));
  std::filesystem::create_directories(folder);
  const std::filesystem::path recording = folder / "show.midicap";
  ASSERT_EQ(lv::StartCaptureRecording(performer, recording.string()), lv::RecordStart::Started);
  const uint32_t noteOn = 0x90 | 60u << 8 | 127u << 16;
  const uint32_t noteOff = 0x80 | 60u << 8;
  performer.PushMidi({noteOn, 0});
  while (!stuck->entered) std::this_thread::yield();
  performer.PushMidi({noteOff, 0});  // the file's tail, still in its buffer

  lifecycle.SetStopWait(50);
  EXPECT_FALSE(lifecycle.Shutdown());
  EXPECT_NE(d3d.Device(), nullptr);
  // The recording was finished before the wait, though the pass holds the
  // frame lock: moved to its name, every event in it.
  EXPECT_FALSE(std::filesystem::exists(recording.string() + ".partial"));
  EXPECT_EQ(RecordedMessages(recording), (std::vector<uint32_t>{noteOn, noteOff}));
  const auto lines = LogLines();
  EXPECT_TRUE(InOrder(lines, {"Shutdown starting", "step: save settings", "step: finish render",
                              "Performer thread did not end within 50 ms",
                              "Render thread still running: plug-in libraries, the performance and the device are "
                              "left in place",
                              "step: release sound", "Shutdown finished"}));
  EXPECT_EQ(std::find(lines.begin(), lines.end(), "step: free plugins"), lines.end());

  stuck->released = true;
  EXPECT_TRUE(performer.Stop());  // once it has ended, the rest goes
  std::filesystem::remove_all(folder);
}

}  // namespace
