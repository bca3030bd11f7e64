#include "capture/capture_manager.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "capture/capture_log.h"
#include "capture/connector_names.h"
#include "fake_capture_system.h"

namespace {

using builtin::CaptureDevice;
using builtin::CaptureFormat;
using builtin::CaptureManager;
using captest::DeviceScript;
using captest::Format;
using capture::kUyvy;
using capture::kYuy2;

std::vector<std::string> g_log;
void KeepLine(const char* line) { g_log.emplace_back(line); }

class CaptureManagerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_log.clear();
    builtin::SetCaptureLogSink(&KeepLine);
  }
  void TearDown() override { builtin::SetCaptureLogSink(nullptr); }

  CaptureManager& Enumerate(std::vector<DeviceScript> devices, bool listable = true) {
    manager_ = std::make_unique<CaptureManager>(std::make_unique<captest::ScriptedSystem>(std::move(devices), listable),
                                                builtin::CaptureEnvironment{});
    manager_->Initialize();
    return *manager_;
  }
  CaptureDevice& First() { return *static_cast<CaptureDevice*>(manager_->Devices().Head()); }
  static std::vector<int64_t> FrameTimes(const CaptureDevice& d) {
    std::vector<int64_t> times;
    for (lv::ListNode* n = d.Formats().Head(); n; n = n->Next())
      times.push_back(static_cast<CaptureFormat*>(n)->mediaType.avgTimePerFrame);
    return times;
  }
  bool Logged(const std::string& line) const { return std::find(g_log.begin(), g_log.end(), line) != g_log.end(); }

  std::unique_ptr<CaptureManager> manager_;
};

TEST_F(CaptureManagerTest, DuplicateFormatsKeepTheFastestFrameTimeNotBelowTheFloor) {
  struct Case {
    int64_t first, second, kept;
  } cases[] = {{333333, 666666, 333667}, {666666, 333333, 666666}, {666666, 400000, 400000}};
  for (const Case& c : cases) {
    DeviceScript d;
    d.name = "Cam";
    d.formats = {Format(640, 480, kYuy2, c.first), Format(640, 480, kYuy2, c.second)};
    Enumerate({d});
    EXPECT_EQ(std::vector<int64_t>{c.kept}, FrameTimes(First())) << c.first << " then " << c.second;
  }
}

TEST_F(CaptureManagerTest, DefaultChoicePrefers320x240Yuy2AndSetsItOnTheDevice) {
  DeviceScript d;
  d.name = "Cam";
  d.current = Format(640, 480, kUyvy, 333667);
  d.formats = {Format(640, 480, kUyvy, 333667), Format(320, 240, kYuy2, 333667), Format(160, 120, kYuy2, 333667)};
  auto setFormats = d.setFormats;
  Enumerate({d});
  ASSERT_NE(nullptr, First().Format());
  EXPECT_EQ(320u, First().Format()->width);
  EXPECT_EQ(kYuy2, First().Format()->fourcc);
  ASSERT_EQ(1u, setFormats->size());
  EXPECT_EQ(320u, setFormats->front().width);
  // Sorted by image size, smallest first.
  std::vector<uint32_t> widths;
  for (lv::ListNode* n = First().Formats().Head(); n; n = n->Next()) widths.push_back(static_cast<CaptureFormat*>(n)->width);
  EXPECT_EQ((std::vector<uint32_t>{160, 320, 640}), widths);
}

TEST_F(CaptureManagerTest, WithoutTheDefaultSizeTheCurrentFormatIsChosenOrNone) {
  DeviceScript d;
  d.name = "Cam";
  d.current = Format(640, 480, kUyvy, 400000);
  d.formats = {Format(640, 480, kUyvy, 400000), Format(800, 600, kUyvy, 400000)};
  Enumerate({d});
  ASSERT_NE(nullptr, First().Format());
  EXPECT_EQ(640u, First().Format()->width);

  d.current = Format(1024, 768, kUyvy, 400000);
  Enumerate({d});
  EXPECT_EQ(nullptr, First().Format());
  EXPECT_EQ(CaptureDevice::kReady, First().GetStatus());
}

TEST_F(CaptureManagerTest, DevicesGetTheirPlaceStatusAndAFittedName) {
  DeviceScript unnamed;  // its place still counts
  DeviceScript broken;
  broken.name = "Broken";
  broken.bindable = false;
  DeviceScript empty;
  empty.name = std::string(85, 'n');
  DeviceScript good;
  good.name = "Good";
  good.formats = {Format(320, 240, kYuy2, 333667)};
  good.inputs = {{0, 1}, {1, 3}};
  good.routed = 1;
  CaptureManager& m = Enumerate({unnamed, broken, empty, good});
  ASSERT_EQ(3, m.Devices().Count());
  auto* b = m.FindDevice("BROKEN");
  auto* e = static_cast<CaptureDevice*>(b->Next());
  auto* g = m.FindDevice("good");
  EXPECT_EQ(1, b->DeviceIndex());
  EXPECT_EQ(CaptureDevice::kBindFailed, b->GetStatus());
  EXPECT_EQ(std::string(79, 'n'), e->Name());
  EXPECT_EQ(CaptureDevice::kNoFormats, e->GetStatus());
  EXPECT_EQ(3, g->DeviceIndex());
  EXPECT_EQ(CaptureDevice::kReady, g->GetStatus());
  ASSERT_EQ(2, g->Inputs().Count());
  ASSERT_NE(nullptr, g->Input());
  EXPECT_STREQ("S-Video", g->Input()->Name());
  EXPECT_TRUE(Logged("Problem: Broken"));
  EXPECT_TRUE(Logged("Available: Good"));
  EXPECT_TRUE(Logged("- Enumerating inputs (2 in, 1 out)"));
  EXPECT_TRUE(Logged("--Compatible video format found: 320 x 240, 0x32595559"));
}

TEST_F(CaptureManagerTest, NoDevicesOrNoListAreLoggedAndLeaveTheListEmpty) {
  EXPECT_EQ(0, Enumerate({}).Devices().Count());
  EXPECT_TRUE(Logged("No video capture device was detected."));
  EXPECT_EQ(0, Enumerate({}, false).Devices().Count());
  EXPECT_TRUE(Logged("Couldn't create system device enumerator."));
  CaptureManager none(nullptr, builtin::CaptureEnvironment{});
  none.Initialize();
  EXPECT_TRUE(Logged("Failed to create filter graph"));
}

TEST(ConnectorNames, FollowThePhysicalConnectorNumbering) {
  struct Case {
    int32_t type;
    const char* name;
  } cases[] = {{1, "Video Tuner"}, {3, "S-Video"},       {13, "Video Encoder"}, {0x1000, "Audio Tuner"},
               {0x1009, "Audio Decoder"}, {0, "Unknown Type"}, {14, "Unknown Type"}, {99, "Unknown Type"}};
  for (const Case& c : cases) EXPECT_STREQ(c.name, builtin::ConnectorTypeName(c.type)) << c.type;
}

}  // namespace

#include "capture/capture_section.h"
#include "chunk_bytes.h"
#include "lv/memory_chunk_stream.h"

namespace {

TEST_F(CaptureManagerTest, SectionOfADeviceWithAnInputEndsWithItsPin) {
  DeviceScript d;
  d.name = "Card";
  d.formats = {Format(320, 240, kYuy2, 333667)};
  d.inputs = {{0, 1}, {4, 2}};
  d.routed = 4;
  Enumerate({d});
  First().SetFlip(false);
  lv::MemoryChunkStream stream;
  ASSERT_TRUE(builtin::WriteCaptureSection(First(), stream));
  std::vector<uint8_t> expected;
  captest::PutTextChunk(expected, "DEVI", "Card");
  captest::PutU32Chunk(expected, "XRES", 320);
  captest::PutU32Chunk(expected, "YRES", 240);
  captest::PutU32Chunk(expected, "FRCC", kYuy2);
  captest::PutU32Chunk(expected, "FLIP", 0);
  captest::PutU32Chunk(expected, "INPT", 4);
  captest::PutEnd(expected);
  EXPECT_EQ(expected, std::vector<uint8_t>(stream.Buffer(), stream.Buffer() + stream.Tell()));
  EXPECT_FALSE(builtin::HasCaptureSection(First())) << "a stopped device has no section";
}

}  // namespace
