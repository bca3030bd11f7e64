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

constexpr uint32_t kAbsoluteStill = SuperShape::kLooped | SuperShape::kAbsolute;

size_t DifferingPixels(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b) {
  size_t n = 0;
  for (size_t i = 0; i < a.size(); ++i) n += a[i] != b[i];
  return n;
}

TEST_F(SuperShapeRender, AtTheStartTheCloudIsTheUnitSphereTexturedByTheSource) {
  MakeShape(kAbsoluteStill);
  shape_->NoteOn();
  const std::vector<uint32_t> pixels = ShapeFrame(0);
  // The sphere at 3.41 units fills a disc about the centre. Turned by the
  // default rotation it shows each quadrant of the source whole away from the
  // seams (the seam rows blend neighbouring texels).
  const struct {
    int x, y, quadrant;
  } probes[] = {{6, 3, 2}, {11, 3, 0}, {6, 8, 3}, {11, 8, 1}, {5, 2, 2}, {8, 10, 3}};
  for (const auto& p : probes) {
    EXPECT_TRUE(RgbNear(At(pixels, p.x, p.y), pattern::kQuadrants[p.quadrant] & 0xFFFFFF, 2)) << p.x << "," << p.y;
  }
  for (auto [x, y] : {std::pair{0, 0}, {15, 11}, {1, 6}, {15, 6}, {8, 0}}) {
    EXPECT_TRUE(RgbNear(At(pixels, x, y), 0x00FF00, 0)) << x << "," << y;
  }
  EXPECT_EQ(RenderState(gfx::RenderState::AlphaBlendEnable), 0u);
}

// The frames are compared exactly: the same shape at the same angles gives
// the same pixels.
TEST_F(SuperShapeRender, TheShapesComeRoundEverySixteenSeconds) {
  MakeShape(kAbsoluteStill);
  shape_->NoteOn();
  const std::vector<uint32_t> sphere = ShapeFrame(0);
  EXPECT_GT(DifferingPixels(ShapeFrame(1000), sphere), 0u) << "half way to the second shape";
  EXPECT_EQ(DifferingPixels(ShapeFrame(15000), sphere), 0u) << "16 s: the sphere again";
}

TEST_F(SuperShapeRender, AtVelocity64TheSpinningAxesStandStill) {
  for (auto [velocity, still] : {std::pair{uint8_t(64), true}, {uint8_t(90), false}}) {
    MakeShape(kAbsoluteStill | SuperShape::kVelocitySpinX | SuperShape::kVelocitySpinY);
    shape_->velocity = velocity;
    shape_->SetParam(SuperShape::kRotX, 300);
    shape_->SetParam(SuperShape::kRotY, 300);
    shape_->NoteOn();
    const std::vector<uint32_t> first = ShapeFrame(0);
    const std::vector<uint32_t> later = ShapeFrame(16000);  // the same shape, 16 s of spin
    const size_t differing = DifferingPixels(later, first);
    EXPECT_EQ(differing == 0, still) << "velocity " << int(velocity) << ": " << differing;
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
