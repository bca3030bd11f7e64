// FreeFrame effects driven through the program's host on a real device,
// over a source of four solid quadrants.
#include <gtest/gtest.h>

#include "chunk_list.h"
#include "freeframe_render_fixture.h"
#include "lv/memory_chunk_stream.h"

namespace {

using gfx::test::ColorNear;
using ff::test::FreeFrameRender;

struct Probe {
  int x, y, quadrant;
};
constexpr Probe kProbes[] = {{3, 2, 0}, {12, 2, 1}, {3, 9, 2}, {12, 9, 3}};

uint32_t Inverted(uint32_t argb) { return (argb & 0xFF000000u) | (~argb & 0x00FFFFFFu); }

TEST_F(FreeFrameRender, InstantiatesAtTheSourceSizeWithSavedState) {
  Make("TINV");
  const std::vector<uint8_t> state = ChunkList({{"NAME", std::string("Pattern:", 9)},
                                                {"FFTX", U32(1) + std::string("world", 6)}});
  lv::MemoryChunkStream in;
  in.Attach(state.data(), int32_t(state.size()));
  ASSERT_TRUE(plug_->Load(&in));
  plug_->SetParam(0, 1024);  // before there is an instance
  ASSERT_TRUE(plug_->CreateDeviceObjects());
  EXPECT_EQ(good_->instantiated, 1);
  EXPECT_EQ(good_->width, kWidth);
  EXPECT_EQ(good_->height, kHeight);
  EXPECT_EQ(good_->bitDepth, 2u);
  EXPECT_EQ(good_->orientation, 1u);
  EXPECT_STREQ(good_->text, "world");
  EXPECT_EQ(good_->lastSetIndex, 0u);
  EXPECT_EQ(good_->lastSetValue, 1.0f);

  // Now values come from and go to the instance.
  EXPECT_EQ(plug_->GetParam(0), 1024);
  EXPECT_EQ(plug_->GetParam(1), 1023);
  plug_->SetParam(2, 256);
  EXPECT_EQ(good_->lastSetIndex, 3u);
  EXPECT_EQ(good_->lastSetValue, 0.25f);

  const struct {
    int32_t param;
    const char* shown;
  } displays[] = {{0, "Gain"}, {1, " "}, {2, "Short"}};
  for (const auto& d : displays) {
    char text[32];
    plug_->GetParamInfo(d.param)->format(0, text, plug_.get(), d.param);
    EXPECT_STREQ(text, d.shown) << d.param;
  }

  plug_->ReleaseDeviceObjects();
  EXPECT_EQ(good_->deinstantiated, 1);
  EXPECT_FALSE(AsFreeFrame(plug_)->Instantiated());
}

TEST_F(FreeFrameRender, DrawsTheProcessedFrameOverTheTarget) {
  Make("TINV");
  ASSERT_TRUE(plug_->CreateDeviceObjects());
  plug_->velocity = 100;
  plug_->NoteOn();
  for (int frame = 1; frame <= 2; ++frame) {
    const std::vector<uint32_t> pixels = Frame();
    EXPECT_EQ(good_->frames, frame);
    for (const Probe& p : kProbes) {
      EXPECT_TRUE(ColorNear(At(pixels, p.x, p.y), Inverted(pattern::kQuadrants[p.quadrant]), 2))
          << "quadrant " << p.quadrant;
    }
  }
  uint32_t depthWrites = 0;
  device_->GetRenderState(gfx::RenderState::ZWriteEnable, &depthWrites);
  EXPECT_EQ(depthWrites, 1u);

  // After note off nothing is drawn or processed.
  plug_->NoteOff();
  const std::vector<uint32_t> pixels = Frame();
  EXPECT_EQ(good_->frames, 2);
  EXPECT_TRUE(ColorNear(At(pixels, 3, 2), 0xFF00FF00, 0));
}

TEST_F(FreeFrameRender, RepeatedCreationLeavesOneInstance) {
  Make("TINV");
  ASSERT_TRUE(plug_->CreateDeviceObjects());
  ASSERT_TRUE(plug_->CreateDeviceObjects());
  EXPECT_EQ(good_->instantiated, 2);
  EXPECT_EQ(good_->deinstantiated, 1);
  plug_.reset();  // the destructor releases the last one
  EXPECT_EQ(good_->deinstantiated, 2);
}

TEST_F(FreeFrameRender, FailuresLeaveNothingHeld) {
  Make("TINV", "Nothing:");
  EXPECT_FALSE(plug_->CreateDeviceObjects());
  Make("TINV", nullptr);
  EXPECT_FALSE(plug_->CreateDeviceObjects());
  EXPECT_EQ(good_->instantiated, 0);

  // The library refuses the instance: the source is closed again (the device
  // fixture checks at tear-down that no resource is left) and nothing renders.
  Make("TNOI");
  EXPECT_FALSE(plug_->CreateDeviceObjects());
  EXPECT_FALSE(AsFreeFrame(plug_)->Instantiated());
  plug_->NoteOn();
  plug_->Render(16);
  char text[32];
  plug_->GetParamInfo(0)->format(512, text, plug_.get(), 0);
  EXPECT_STREQ(text, "0.500");
}

}  // namespace
