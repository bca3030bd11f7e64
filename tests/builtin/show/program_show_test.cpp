#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>

#include "builtin_kinds.h"
#include "device_fixture.h"
#include "files/project_file.h"
#include "host/lorvane_host.h"
#include "plugins/warp_source.h"
#include "avi/avi_source_kind.h"
#include "registry/plug_registry.h"
#include "sampler/sample_video.h"
#include "show/program_show.h"

namespace {

using builtin::CaptureDevice;
using builtin::Sampler;

class ProgramShowTest : public gfx::test::DeviceTest {
 protected:
  void SetUp() override {
    DeviceTest::SetUp();
    host.device = device_;
    host.registry = &registry;
    host.roundToNearestPow2 = true;
    bank.env = builtin::ProgramSamplerEnvironment(&host, &registrar);
    // The program bounds samplers by the performance's output, not the
    // fixture's small device.
    bank.env.outputSize = [] { return builtin::OutputSize{640, 480}; };
    manager = std::make_unique<builtin::CaptureManager>(capture::CreateTestPatternSystem(),
                                                        builtin::ProgramCaptureEnvironment(&host, &registrar));
    manager->Initialize();
    show.SetCaptures(manager.get());
    context.show = &show;
    path = (std::filesystem::temp_directory_path() / ("show-" + std::to_string(getpid()) + ".LVP")).string();
  }
  void TearDown() override {
    show.SetCaptures(nullptr);
    manager.reset();
    bank.samplers.DeleteAll();
    std::remove(path.c_str());
    DeviceTest::TearDown();
  }

  CaptureDevice& Device() { return *static_cast<CaptureDevice*>(manager->Devices().Head()); }
  std::string FileText() {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
  }

  // A running test pattern in a format other than its first, and a sampler.
  void StartShow() {
    CaptureDevice& device = Device();
    ASSERT_GE(device.Formats().Count(), 2);
    chosen = static_cast<builtin::CaptureFormat*>(device.Formats().Head()->Next());
    ASSERT_TRUE(device.SetFormat(chosen));
    ASSERT_TRUE(device.Start());
    ASSERT_NE(nullptr, Sampler::Create(bank.samplers, bank.env, "Loop", 64, 32, gfx::Format::A8R8G8B8, 8, 3));
  }

  lv::LorvaneHost host;
  lv::PlugRegistry registry;
  builtin::RegistryRegistrar<lv::PlugRegistry> registrar{registry};
  builtin::SamplerBank bank;
  std::unique_ptr<builtin::CaptureManager> manager;
  builtin::ProgramShow show{bank, nullptr};
  lv::ProjectFileContext context;
  builtin::CaptureFormat* chosen = nullptr;
  std::string path;
};

TEST_F(ProgramShowTest, ARunningDeviceAndASamplerComeBackFromTheProjectFile) {
  StartShow();
  lv::Performance performance;
  performance.name.Assign(path.c_str());
  ASSERT_TRUE(lv::SavePerformance(performance, false, context));
  const std::string file = FileText();
  EXPECT_NE(std::string::npos, file.find("CAPT"));
  EXPECT_NE(std::string::npos, file.find("SAMP"));

  // Loading stops what runs and deletes the samplers first.
  lv::Performance loaded;
  ASSERT_TRUE(lv::LoadPerformance(loaded, path.c_str(), context));

  CaptureDevice& device = Device();
  EXPECT_TRUE(device.Running());
  ASSERT_NE(nullptr, device.Format());
  EXPECT_EQ(chosen->width, device.Format()->width);
  EXPECT_EQ(chosen->height, device.Format()->height);
  EXPECT_EQ(chosen->fourcc, device.Format()->fourcc);
  EXPECT_NE(nullptr, registry.FindSourceKind("Cap0-Test Pattern:"));

  ASSERT_EQ(1, bank.samplers.Count());
  Sampler* sampler = builtin::FindSampler(bank.samplers, "Loop");
  ASSERT_NE(nullptr, sampler);
  EXPECT_EQ(64u, sampler->Width());
  EXPECT_EQ(32u, sampler->Height());
  EXPECT_EQ(8u, sampler->Capacity());
  EXPECT_EQ(3u, sampler->Interval());
  EXPECT_NE(nullptr, registry.FindSourceKind("Loop:"));
}

TEST_F(ProgramShowTest, AFileThatDoesNotOpenLeavesDevicesAndSamplers) {
  StartShow();
  { std::ofstream(path, std::ios::binary) << "PER"; }  // shorter than a section header
  lv::Performance performance;
  EXPECT_FALSE(lv::LoadPerformance(performance, path.c_str(), context));
  EXPECT_FALSE(lv::LoadPerformance(performance, (path + ".absent").c_str(), context));
  EXPECT_TRUE(Device().Running());
  EXPECT_EQ(chosen, Device().Format());
  EXPECT_EQ(1, bank.samplers.Count());
}

TEST_F(ProgramShowTest, DisplayResetStopsAndRestartsTheDeviceAndEmptiesTheSampler) {
  StartShow();
  Sampler& sampler = *builtin::FindSampler(bank.samplers, "Loop");
  sampler.SetRecorded(5);
  show.ReleaseSurfaces();
  EXPECT_FALSE(Device().Running());
  show.RestoreSurfaces();
  EXPECT_TRUE(Device().Running());
  EXPECT_EQ(chosen, Device().Format());
  EXPECT_EQ(0u, sampler.Recorded());
  EXPECT_NE(nullptr, sampler.FrameTexture(0));
}

TEST(BuiltinKinds, SampleVideoFollowsWarpSourceAndPrecedesAviFiles) {
  const auto kinds = builtin::BuiltinKinds();
  ASSERT_GE(kinds.size(), 6u);
  EXPECT_EQ(&builtin::WarpSourceDescriptor, kinds[3].plugKind);
  EXPECT_EQ(&builtin::SampleVideoKind, kinds[4].plugKind);
  EXPECT_EQ(&lv::AviFileSourceKind, kinds[5].sourceKind);
}

}  // namespace
