#include <gtest/gtest.h>

#include <sys/resource.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "../capture/chunk_bytes.h"
#include "device_fixture.h"
#include "host/lorvane_host.h"
#include "lv/memory_chunk_stream.h"
#include "registry/plug_registry.h"
#include "sampler/sample_video.h"
#include "sampler/sampler.h"
#include "sampler/sampler_section.h"

namespace {

using builtin::Sampler;
using builtin::SampleVideo;

constexpr uint32_t kSize = 8;

// A source whose picture is a flat colour with blue = the number of Advances
// with time in them, so each recorded frame tells when it was grabbed.
class CountingSource final : public lv::Source {
 public:
  static inline int alive = 0;
  CountingSource() { ++alive; }
  ~CountingSource() override {
    --alive;
    if (texture_) texture_->Release();
  }
  int32_t GetKind() override { return 1; }
  const lv::ClassId* GetClassId() override { return &id_; }
  uint8_t SetOption0(uint8_t v) override { return v; }
  uint8_t SetOption1(uint8_t v) override { return v; }
  uint8_t SetOption2(uint8_t v) override { return v; }
  bool Open(const char*) override {
    return gfx::Succeeded(host->GetDevice()->CreateTexture(kSize, kSize, 1, gfx::usage::None, gfx::Format::A8R8G8B8,
                                                           gfx::Pool::Managed, &texture_));
  }
  bool GetInfo(lv::SourceInfo*) override { return false; }
  void SetVolume(int32_t) override {}
  void SetPan(int32_t) override {}
  bool Attach(uint8_t) override { return true; }
  gfx::Texture* GetTexture() override {
    gfx::LockedRect locked;
    texture_->LockRect(0, &locked, nullptr, gfx::lock::None);
    for (uint32_t y = 0; y < kSize; ++y)
      for (uint32_t x = 0; x < kSize; ++x)
        static_cast<uint32_t*>(locked.bits)[y * locked.pitch / 4 + x] = 0xFF000000u | advances_;
    texture_->UnlockRect(0);
    return texture_;
  }
  const float* GetTexelOffset() override { return nullptr; }
  void Detach() override {}
  void ReleaseDeviceObjects() override {}
  void Restart() override {}
  bool Advance(uint32_t ms, bool*, bool*) override {
    if (ms) ++advances_;
    return true;
  }

 private:
  lv::ClassId id_{};
  gfx::Texture* texture_ = nullptr;
  uint32_t advances_ = 0;
};

// A prefix-only descriptor, for the counting source and for samplers' kinds.
class PrefixKind final : public lv::SourceDesc {
 public:
  explicit PrefixKind(const char* prefix, bool makes = false) : prefix_(prefix), makes_(makes) {}
  int32_t GetKind() override { return 1; }
  const lv::ClassId* GetClassId() override { return &id_; }
  const char* GetCategory() override { return "Video Sample"; }
  const char* GetName() override { return "Video Sample"; }
  const char* GetDescription() override { return prefix_.c_str(); }
  lv::Source* Create() override { return makes_ ? new CountingSource : nullptr; }
  bool IsFileBased() override { return false; }
  bool IsAnimated() override { return true; }
  int32_t NumExtensions() override { return 0; }
  const char* Extension(int32_t) override { return nullptr; }
  const char* GetPrefix() override { return prefix_.c_str(); }

 private:
  lv::ClassId id_{};
  std::string prefix_;
  bool makes_;
};

class SamplerTest : public gfx::test::DeviceTest {
 protected:
  void SetUp() override {
    DeviceTest::SetUp();
    host.device = device_;
    host.registry = &registry;
    ASSERT_EQ(gfx::Result::Ok, device_->GetBackBuffer(0, 0, &backBuffer_));
    host.targetSurface = backBuffer_;
    backBuffer_->GetDesc(&host.targetDesc);
    registry.RegisterSourceKind(&counting_, nullptr);
    bank.env.host = &host;
    bank.env.registrar = &registrar;
    bank.env.makeKind = [](builtin::SampleStore& s) { return std::make_unique<PrefixKind>(s.Name()); };
  }
  void TearDown() override {
    plugs_.clear();
    bank.samplers.DeleteAll();
    backBuffer_->Release();
    DeviceTest::TearDown();
  }

  Sampler* Make(const char* name, uint32_t frames, uint32_t interval, gfx::Format f = gfx::Format::A8R8G8B8) {
    return Sampler::Create(bank.samplers, bank.env, name, kSize, kSize, f, frames, interval);
  }

  SampleVideo& Recorder(const char* sampler, uint32_t options = 0, int32_t frames = 10) {
    plugs_.push_back(std::make_unique<SampleVideo>(bank));
    SampleVideo& plug = *plugs_.back();
    plug.host = &host;
    plug.SetInputName(0, "Counting:");
    plug.SetSamplerName(sampler);
    plug.SetOptions(options);
    plug.SetParam(0, frames);
    EXPECT_TRUE(plug.CreateDeviceObjects());
    return plug;
  }

  // Blue channel of a recorded frame.
  uint32_t FrameShows(Sampler& s, uint32_t index) {
    gfx::LockedRect locked;
    EXPECT_EQ(gfx::Result::Ok, s.FrameTexture(index)->LockRect(0, &locked, nullptr, gfx::lock::ReadOnly));
    const uint32_t pixel = static_cast<uint32_t*>(locked.bits)[0];
    s.FrameTexture(index)->UnlockRect(0);
    return pixel & 0xFF;
  }

  lv::LorvaneHost host;
  lv::PlugRegistry registry;
  builtin::RegistryRegistrar<lv::PlugRegistry> registrar{registry};
  builtin::SamplerBank bank;
  PrefixKind counting_{"Counting", true};
  gfx::Surface* backBuffer_ = nullptr;
  std::vector<std::unique_ptr<SampleVideo>> plugs_;
};

TEST_F(SamplerTest, RecordsOneFrameWhenTheRefreshClockReachesTheNextInterval) {
  Sampler* s = Make("Loop", 30, 2);
  ASSERT_NE(nullptr, s);
  SampleVideo& plug = Recorder("Loop");
  plug.NoteOn();
  std::vector<int> recordedAt;
  for (int render = 1; render <= 10; ++render) {
    const uint32_t before = s->Recorded();
    plug.Render(16);
    if (s->Recorded() > before) recordedAt.push_back(render);
  }
  EXPECT_EQ((std::vector<int>{1, 4, 6, 8, 10}), recordedAt);
  // Each frame holds the picture of the render that grabbed it.
  EXPECT_EQ(1u, FrameShows(*s, 0));
  EXPECT_EQ(4u, FrameShows(*s, 1));
  EXPECT_EQ(10u, FrameShows(*s, 4));
}

TEST_F(SamplerTest, FixedLengthKeepsTheNoteUntilFramesAreRecorded) {
  struct Case {
    uint32_t options;
    int32_t frames;
    uint32_t keepEndsAt;  // 0: the keep never ends
  } cases[] = {{SampleVideo::kFixedLength, 10, 10}, {SampleVideo::kFixedLength, 40, 0}, {0, 10, 0}};
  for (const Case& c : cases) {
    bank.samplers.DeleteAll();
    Sampler* s = Make("Fixed", 30, 1);
    SampleVideo& plug = Recorder("Fixed", c.options, c.frames);
    plug.NoteOn();
    EXPECT_EQ(c.options != 0, plug.KeepAfterNoteOff());
    uint32_t keepEnded = 0;
    for (int i = 0; i < 40; ++i) {
      plug.Render(17);
      if (!plug.KeepAfterNoteOff() && keepEnded == 0 && c.options) keepEnded = s->Recorded();
    }
    EXPECT_EQ(30u, s->Recorded()) << "recording goes on up to the capacity while the note renders";
    EXPECT_EQ(c.keepEndsAt, keepEnded) << "frames " << c.frames;
  }
}

TEST_F(SamplerTest, ANewRecordingEmptiesTheSamplerForEveryPlayer) {
  Sampler* s = Make("Shared", 30, 1);
  SampleVideo& first = Recorder("Shared");
  SampleVideo& second = Recorder("Shared");
  first.NoteOn();
  for (int i = 0; i < 5; ++i) first.Render(17);
  EXPECT_EQ(5u, s->Recorded());
  second.NoteOn();
  EXPECT_EQ(0u, s->Recorded());
}

TEST_F(SamplerTest, CreateDeviceObjectsNeedsASamplerAndKeepsNothingOnFailure) {
  Make("Here", 4, 2);
  SampleVideo plug(bank);
  plug.host = &host;
  plug.SetInputName(0, "Counting:");
  for (const char* name : {"", "Elsewhere"}) {
    plug.SetSamplerName(name);
    EXPECT_FALSE(plug.CreateDeviceObjects()) << name;
    EXPECT_EQ(0, CountingSource::alive) << "the source opened first is closed again";
  }
  plug.SetSamplerName("HERE");
  EXPECT_TRUE(plug.CreateDeviceObjects());
  EXPECT_TRUE(plug.CreateDeviceObjects()) << "a second call replaces the source";
  EXPECT_EQ(1, CountingSource::alive);
  // The sampler goes away under the patch: it records nothing and does not crash.
  plug.NoteOn();
  bank.samplers.DeleteAll();
  plug.Render(17);
}

TEST_F(SamplerTest, CreateRejectsUnusableCountsAndRegistersItsKind) {
  struct Case {
    uint32_t frames, interval;
  } bad[] = {{0, 2}, {241, 2}, {10, 0}, {10, 61}};
  for (const Case& c : bad) EXPECT_EQ(nullptr, Make("Bad", c.frames, c.interval)) << c.frames << "/" << c.interval;
  EXPECT_EQ(0, bank.samplers.Count());

  Sampler* s = Make("Kept", 240, 60, gfx::Format::Unknown);
  ASSERT_NE(nullptr, s);
  EXPECT_NE(nullptr, registry.FindSourceKind("Kept:"));
  gfx::SurfaceDesc desc;
  s->FrameTexture(239)->GetLevelDesc(0, &desc);
  EXPECT_EQ(host.targetDesc.format, desc.format) << "format 0 is the back buffer's";
  EXPECT_EQ(gfx::Pool::SystemMem, desc.pool);
  bank.samplers.Unlink(s);
  delete s;
  EXPECT_EQ(nullptr, registry.FindSourceKind("Kept:"));
}

TEST_F(SamplerTest, DisplayResetEmptiesTheFramesAndKeepsTheKind) {
  Sampler* s = Make("Reset", 3, 2);
  SampleVideo& plug = Recorder("Reset");
  plug.NoteOn();
  plug.Render(17);
  ASSERT_EQ(1u, s->Recorded());
  Sampler::ReleaseAll(bank.samplers);
  EXPECT_EQ(0u, s->Recorded());
  EXPECT_EQ(nullptr, s->FrameTexture(0));
  EXPECT_EQ(3u, s->Capacity());
  EXPECT_NE(nullptr, registry.FindSourceKind("Reset:"));
  Sampler::RestoreAll(bank.samplers);
  EXPECT_NE(nullptr, s->FrameTexture(2));
  EXPECT_NE(nullptr, s->RecordTarget());
}

TEST_F(SamplerTest, SampSectionIsByteExactAndReadBackIntoANewSampler) {
  Sampler* s = Make("Clip", 90, 3, gfx::Format::X8R8G8B8);
  lv::MemoryChunkStream out;
  ASSERT_TRUE(builtin::WriteSamplerSection(*s, out));
  std::vector<uint8_t> expected;
  captest::PutTextChunk(expected, "NAME", "Clip");
  captest::PutU32Chunk(expected, "XRES", kSize);
  captest::PutU32Chunk(expected, "YRES", kSize);
  captest::PutU32Chunk(expected, "DFMT", 22);
  captest::PutU32Chunk(expected, "FRMS", 90);
  captest::PutU32Chunk(expected, "FRIN", 3);
  captest::PutEnd(expected);
  const std::vector<uint8_t> written(out.Buffer(), out.Buffer() + out.Tell());
  ASSERT_EQ(expected, written);

  bank.samplers.DeleteAll();
  lv::MemoryChunkStream in;
  in.Attach(written.data(), static_cast<int32_t>(written.size()));
  Sampler* read = builtin::ReadSamplerSection(bank, in);
  ASSERT_NE(nullptr, read);
  EXPECT_STREQ("Clip", read->Name());
  EXPECT_EQ(gfx::Format::X8R8G8B8, read->Format());
  EXPECT_EQ(90u, read->Capacity());
  EXPECT_EQ(3u, read->Interval());
  EXPECT_EQ(0u, read->Recorded());
}

TEST_F(SamplerTest, SampSectionWithAMissingOrUnusableValueMakesNothing) {
  struct Case {
    const char* what;
    uint32_t format, frames, interval;
    bool withInterval;
  } cases[] = {{"interval 0", 21, 10, 0, true},
               {"no interval", 21, 10, 2, false},
               {"no frames", 21, 0, 2, true},
               {"unknown format", 7, 10, 2, true}};
  for (const Case& c : cases) {
    std::vector<uint8_t> bytes;
    captest::PutTextChunk(bytes, "NAME", "X");
    captest::PutU32Chunk(bytes, "XRES", kSize);
    captest::PutU32Chunk(bytes, "YRES", kSize);
    captest::PutU32Chunk(bytes, "DFMT", c.format);
    captest::PutU32Chunk(bytes, "FRMS", c.frames);
    if (c.withInterval) captest::PutU32Chunk(bytes, "FRIN", c.interval);
    captest::PutEnd(bytes);
    lv::MemoryChunkStream in;
    in.Attach(bytes.data(), static_cast<int32_t>(bytes.size()));
    EXPECT_EQ(nullptr, builtin::ReadSamplerSection(bank, in)) << c.what;
  }
  EXPECT_EQ(0, bank.samplers.Count());
}

std::vector<uint8_t> SampBody(uint32_t width, uint32_t height, uint32_t frames) {
  std::vector<uint8_t> bytes;
  captest::PutTextChunk(bytes, "NAME", "Huge");
  captest::PutU32Chunk(bytes, "XRES", width);
  captest::PutU32Chunk(bytes, "YRES", height);
  captest::PutU32Chunk(bytes, "DFMT", 21);
  captest::PutU32Chunk(bytes, "FRMS", frames);
  captest::PutU32Chunk(bytes, "FRIN", 2);
  captest::PutEnd(bytes);
  return bytes;
}

Sampler* ReadSamp(builtin::SamplerBank& bank, const std::vector<uint8_t>& bytes) {
  lv::MemoryChunkStream in;
  in.Attach(bytes.data(), static_cast<int32_t>(bytes.size()));
  return builtin::ReadSamplerSection(bank, in);
}

uint32_t DeviceReferences(gfx::Device* device) {
  device->AddRef();
  return device->Release();
}

TEST_F(SamplerTest, FramesAreBoundedByTheOutputAndTheMachinesMemory) {
  // The fixture's output is 16 x 12: frames up to 32 x 16, as the sampler
  // settings would offer.
  const uint32_t references = DeviceReferences(device_);
  struct Case {
    uint32_t width, height, frames;
    bool made;
  } cases[] = {{32, 16, 240, true},        {33, 16, 1, false},          {32, 17, 1, false},
               {8192, 8192, 240, false},   {16384, 16384, 240, false},  {0xFFFFFFFF, 1, 1, false}};
  for (const Case& c : cases) {
    bank.samplers.DeleteAll();
    EXPECT_EQ(c.made, ReadSamp(bank, SampBody(c.width, c.height, c.frames)) != nullptr) << c.width << "x" << c.height;
  }
  bank.samplers.DeleteAll();
  EXPECT_EQ(references, DeviceReferences(device_));

  // The output of the project being loaded decides, not the one on screen;
  // and all frames must fit in half the memory.
  bank.env.outputSize = [] { return builtin::OutputSize{1920, 1080}; };
  EXPECT_TRUE(Sampler::Fits(bank.env, 2048, 2048, gfx::Format::A8R8G8B8, 240));
  EXPECT_FALSE(Sampler::Fits(bank.env, 2049, 1080, gfx::Format::A8R8G8B8, 1));
  host.memoryKB = 4 * 1024 * 1024;  // 4 GiB: 2 GiB for samplers
  EXPECT_TRUE(Sampler::Fits(bank.env, 1024, 1024, gfx::Format::A8R8G8B8, 511));
  EXPECT_FALSE(Sampler::Fits(bank.env, 1024, 1024, gfx::Format::A8R8G8B8, 512));
  EXPECT_TRUE(Sampler::Fits(bank.env, 1024, 1024, gfx::Format::R5G6B5, 1023));
}

// Limits the address space to 1 GiB past what the process uses now, then
// reads a section asking for 240 frames of 8192 x 8192: 0 when that gave
// null without throwing.
int ReadHugeSampUnderAMemoryLimit(builtin::SamplerBank& bank) {
  std::ifstream status("/proc/self/status");
  std::string line;
  uint64_t usedKB = 0;
  while (std::getline(status, line))
    if (line.rfind("VmSize:", 0) == 0) usedKB = std::stoull(line.substr(7));
  const rlimit limit{(usedKB + 1024 * 1024) * 1024, RLIM_INFINITY};
  if (usedKB == 0 || setrlimit(RLIMIT_AS, &limit) != 0) return 2;
  return ReadSamp(bank, SampBody(8192, 8192, 240)) == nullptr ? 0 : 1;
}

TEST_F(SamplerTest, AHugeSampSectionUnderAMemoryLimitMakesNothing) {
  // The child starts afresh, with a device of its own.
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(std::_Exit(ReadHugeSampUnderAMemoryLimit(bank)), testing::ExitedWithCode(0), "");
}

}  // namespace
