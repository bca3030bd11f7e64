#pragma once
// Display Source instances on a real device, with their state loaded from
// chunks as a project gives it.
#include <memory>
#include <string>
#include <vector>

#include "chunk_list.h"
#include "plugins/display_source.h"
#include "recording_source.h"
#include "source_device_fixture.h"

namespace lvtest {

class DisplaySourceTest : public SourceDeviceTest {
 protected:
  void SetUp() override {
    SourceDeviceTest::SetUp();
    ASSERT_FALSE(HasFatalFailure());
    registry_.RegisterSourceKind(&recordingKind_, nullptr);
  }

  // A new instance showing `source` with the option word, volume and pan given.
  std::unique_ptr<builtin::DisplaySource> Make(const std::string& source, uint32_t options, uint8_t volume = 127,
                                               uint8_t pan = 64) {
    auto plug = std::make_unique<builtin::DisplaySource>();
    plug->host = &host_;
    const std::vector<uint8_t> bytes = ChunkList({{"FLAG", U32(options)},
                                                  {"VOL ", std::string(1, char(volume))},
                                                  {"PAN ", std::string(1, char(pan))},
                                                  {"NAME", source + '\0'}});
    lv::MemoryChunkStream stream;
    stream.Attach(bytes.data(), int32_t(bytes.size()));
    EXPECT_TRUE(plug->Load(&stream));
    return plug;
  }

  void NoteOn(builtin::DisplaySource& plug, uint8_t velocity) {
    plug.velocity = velocity;
    plug.NoteOn();
  }

  // One frame over a target cleared to `background`, drawn by each plug in turn.
  std::vector<uint32_t> Frame(std::vector<builtin::DisplaySource*> plugs, uint32_t background = 0xFF0000FF) {
    EXPECT_EQ(gfx::Result::Ok, device_->BeginScene());
    device_->Clear(0, nullptr, gfx::clear::Target, background, 1.0f, 0);
    for (builtin::DisplaySource* plug : plugs) plug->Render(16);
    EXPECT_EQ(gfx::Result::Ok, device_->EndScene());
    return ReadBackBuffer();
  }

  static uint32_t At(const std::vector<uint32_t>& pixels, int x, int y) { return pixels[size_t(y) * kWidth + x]; }

  RecordingLog recorded_;
  RecordingKind recordingKind_{recorded_};
};

}  // namespace lvtest
