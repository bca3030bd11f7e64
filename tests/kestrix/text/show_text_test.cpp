// ShowText drawn on a real device with text rasterised in a real font.
#include "platform/window/text_raster.h"
#include "render_fixture.h"

namespace {

constexpr uint32_t kGreen = 0xFF00FF00;

class ShowTextRender : public KestrixRender {
 protected:
  // "L" in a 10-pixel font, red, at the text's own size (Scale 50).
  void MakeText(const std::string& text = "L") {
    plug_ = library_->Create("ShowText");
    ASSERT_NE(plug_, nullptr);
    std::string font(60, '\0');
    font[0] = 10;
    font[26] = 2;
    ASSERT_TRUE(LoadInto(*plug_, ChunkList({{"FLAG", U32(1)}, {"TEXT", text + '\0'}, {"FONT", font}})));
    ASSERT_TRUE(plug_->CreateDeviceObjects());
    for (auto [i, v] : {std::pair{2, 0}, {3, 0}, {9, 50}}) plug_->SetParam(i, v);
    window::FontDescription description;
    description.height = 10;
    ASSERT_TRUE(window::MeasureText(description, text, &extent_));
  }
  window::TextExtent extent_;
};

bool Glyph(uint32_t pixel) { return Channel(pixel, 2) > 100 && Channel(pixel, 1) < 200; }

TEST_F(ShowTextRender, TheGlyphsCarryTheColourInsideTheTextsQuad) {
  MakeText();
  const std::vector<uint32_t> pixels = Frame(kGreen);
  // The quad is the text's size, centred.
  const float left = 8 - extent_.width / 2.0f, top = 6 - extent_.height / 2.0f;
  int glyphs = 0;
  for (int y = 0; y < 12; ++y) {
    for (int x = 0; x < 16; ++x) {
      const uint32_t pixel = At(pixels, x, y);
      const bool inside = x + 1 > left && x < left + extent_.width && y + 1 > top && y < top + extent_.height;
      if (!inside) {
        EXPECT_TRUE(Near(pixel, kGreen)) << x << "," << y << " outside the text";
      }
      if (Glyph(pixel)) ++glyphs;
      EXPECT_EQ(Channel(pixel, 0), 0) << "no blue anywhere";
    }
  }
  EXPECT_GT(glyphs, 3);
  EXPECT_EQ(RenderState(gfx::RenderState::ZEnable), 1u);
  EXPECT_EQ(RenderState(gfx::RenderState::AlphaBlendEnable), 0u);
}

TEST_F(ShowTextRender, AngleTurnsAndNegativeWidthMirrors) {
  MakeText();
  const std::vector<uint32_t> upright = Frame(kGreen);
  // Where the glyphs' ink lies (red coverage; its centre relative to the
  // target's centre, pixel 8, 6) and how much of it there is.
  struct Ink {
    float amount = 0, x = 0, y = 0;
  };
  auto inkOf = [&](const std::vector<uint32_t>& pixels) {
    Ink ink;
    for (int y = 0; y < 12; ++y) {
      for (int x = 0; x < 16; ++x) {
        const float c = float(Channel(At(pixels, x, y), 2)) / 255.0f;
        ink.amount += c;
        ink.x += c * float(x - 8);
        ink.y += c * float(y - 6);
      }
    }
    ink.x /= ink.amount;
    ink.y /= ink.amount;
    return ink;
  };
  const Ink up = inkOf(upright);
  ASSERT_GT(std::abs(up.x) + std::abs(up.y), 0.3f) << "an L is not symmetric";
  auto expectMapped = [&](const std::vector<uint32_t>& turned, bool flipX, bool flipY, const char* what) {
    const Ink ink = inkOf(turned);
    EXPECT_NEAR(ink.amount, up.amount, up.amount * 0.1f) << what;
    EXPECT_NEAR(ink.x, flipX ? -up.x : up.x, 0.3f) << what;
    EXPECT_NEAR(ink.y, flipY ? -up.y : up.y, 0.3f) << what;
  };
  plug_->SetParam(10, 360);
  expectMapped(Frame(kGreen), true, true, "Angle 360: a half turn");
  plug_->SetParam(10, -360);
  expectMapped(Frame(kGreen), true, true, "Angle -360: the same half turn");
  plug_->SetParam(10, 0);
  plug_->SetParam(7, -100);
  expectMapped(Frame(kGreen), true, false, "Width -100: mirrored");
  plug_->SetParam(9, 0);
  for (uint32_t pixel : Frame(kGreen)) EXPECT_TRUE(Near(pixel, kGreen)) << "Scale 0 draws nothing";
}

TEST_F(ShowTextRender, PowerOfTwoTexturesShowTheSameText) {
  host_.nonPow2Supported = true;
  MakeText("Lj");
  const std::vector<uint32_t> exact = Frame(kGreen);
  host_.nonPow2Supported = false;
  ASSERT_TRUE(plug_->CreateDeviceObjects());
  EXPECT_EQ(Frame(kGreen), exact);
  plug_->NoteOff();
  for (uint32_t pixel : ReadBackBuffer()) EXPECT_TRUE(Near(pixel, 0xFF000000)) << "erased on note off";
}

}  // namespace
