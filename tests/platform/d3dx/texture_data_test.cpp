#include <gtest/gtest.h>

#include "image_fixtures.h"
#include "platform/d3dx/texture_data.h"

using namespace d3dx;

namespace {

Image Solid(uint32_t w, uint32_t h, uint8_t b, uint8_t g, uint8_t r, uint8_t a, bool alpha = false) {
  Image img;
  img.width = img.info.width = w;
  img.height = img.info.height = h;
  img.info.format = alpha ? Format::A8R8G8B8 : Format::X8R8G8B8;
  img.hasAlpha = alpha;
  for (uint32_t i = 0; i < w * h; ++i) img.pixels.insert(img.pixels.end(), {b, g, r, a});
  return img;
}

}  // namespace

TEST(TextureData, DefaultsKeepTheFileSizeAndBuildTheFullChain) {
  Image img = Solid(800, 600, 10, 20, 30, 255);
  TextureData tex;
  ASSERT_TRUE(PrepareTexture(img, {}, {}, tex));
  EXPECT_EQ(tex.width, 800u);
  EXPECT_EQ(tex.height, 600u);
  EXPECT_EQ(tex.format, Format::X8R8G8B8);
  EXPECT_EQ(tex.info.width, 800u);  // the file's facts stay as they were
  ASSERT_EQ(tex.levels.size(), 10u);  // 800 … 1
  const std::pair<uint32_t, uint32_t> sizes[] = {{800, 600}, {400, 300}, {200, 150}, {100, 75}, {50, 37},
                                                 {25, 18},   {12, 9},    {6, 4},     {3, 2},    {1, 1}};
  for (size_t i = 0; i < tex.levels.size(); ++i) {
    EXPECT_EQ(tex.levels[i].width, sizes[i].first) << i;
    EXPECT_EQ(tex.levels[i].height, sizes[i].second) << i;
    EXPECT_EQ(tex.levels[i].pitch, sizes[i].first * 4);
    // A flat colour stays flat through every filter.
    EXPECT_EQ(tex.levels[i].data[2], 30) << i;
  }
}

TEST(TextureData, SizeFormatAndLevelChoices) {
  struct Case {
    const char* name;
    TextureRequest request;
    TextureDeviceCaps caps;
    bool alpha;
    uint32_t width, height, levels;
    Format format;
  };
  TextureDeviceCaps pow2;
  pow2.powerOfTwoOnly = true;
  TextureDeviceCaps small;
  small.maxWidth = small.maxHeight = 256;
  const Case cases[] = {
      {"power of two rounds up", {}, pow2, false, 1024, 1024, 11, Format::X8R8G8B8},
      {"non-pow2 default too", {kDefaultNonPow2, kDefaultNonPow2, 1}, {}, false, 800, 600, 1, Format::X8R8G8B8},
      {"explicit size", {256, 128, 0}, {}, false, 256, 128, 9, Format::X8R8G8B8},
      {"clamped to the device", {}, small, false, 256, 256, 9, Format::X8R8G8B8},
      {"alpha picks A8R8G8B8", {kDefault, kDefault, 1}, {}, true, 800, 600, 1, Format::A8R8G8B8},
      {"colour key needs alpha", {kDefault, kDefault, 1, Format::Unknown, kDefault, kDefault, 0xFF000000}, {}, false,
       800, 600, 1, Format::A8R8G8B8},
      {"asked format", {kDefault, kDefault, 2, Format::R5G6B5}, {}, false, 800, 600, 2, Format::R5G6B5},
      {"24-bit asked gets 32", {kDefault, kDefault, 1, Format::R8G8B8}, {}, false, 800, 600, 1, Format::X8R8G8B8},
      {"file levels of a plain file", {kDefault, kDefault, kFromFile}, {}, false, 800, 600, 1, Format::X8R8G8B8},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TextureData tex;
    std::string error;
    ASSERT_TRUE(PrepareTexture(Solid(800, 600, 1, 2, 3, 255, c.alpha), c.request, c.caps, tex, &error)) << error;
    EXPECT_EQ(tex.width, c.width);
    EXPECT_EQ(tex.height, c.height);
    EXPECT_EQ(tex.levels.size(), c.levels);
    EXPECT_EQ(tex.format, c.format);
  }
  TextureData tex;
  std::string error;
  TextureRequest dxt;
  dxt.format = Format::DXT1;
  EXPECT_FALSE(PrepareTexture(Solid(8, 8, 0, 0, 0, 255), dxt, {}, tex, &error));
  EXPECT_FALSE(error.empty());
}

TEST(TextureData, PointAndBoxScaling) {
  // 2 × 1: black, white.
  std::vector<uint8_t> pixels = {0, 0, 0, 255, 255, 255, 255, 255};
  auto point = ResizePixels(pixels, 2, 1, 4, 1, Filter::Point);
  EXPECT_EQ((std::vector<uint8_t>{point[0], point[4], point[8], point[12]}), (std::vector<uint8_t>{0, 0, 255, 255}));
  auto box = ResizePixels(pixels, 2, 1, 1, 1, Filter::Box);
  EXPECT_EQ(box[0], 128);
  EXPECT_EQ(box[3], 255);
  // 3 → 2 by area: (1, 0.5) and (0.5, 1) of the three pixels.
  std::vector<uint8_t> three = {0, 0, 0, 0, 90, 90, 90, 90, 180, 180, 180, 180};
  auto area = ResizePixels(three, 3, 1, 2, 1, Filter::Box);
  EXPECT_EQ(area[0], 30);
  EXPECT_EQ(area[4], 150);
  // No filter: the image in the top-left corner, transparent black elsewhere.
  auto none = ResizePixels(pixels, 2, 1, 4, 2, Filter::None);
  EXPECT_EQ(none[4], 255);
  EXPECT_EQ(none[8 + 3], 0);
  EXPECT_EQ(none[16 + 3], 0);
}

TEST(TextureData, ColourKeyBecomesTransparentBlack) {
  Image img = Solid(2, 1, 0, 0, 0, 255);
  img.pixels[4] = 0xFF;  // second pixel blue: B = 255
  TextureRequest request;
  request.mipLevels = 1;
  request.colorKey = 0xFF000000;  // opaque black
  TextureData tex;
  ASSERT_TRUE(PrepareTexture(img, request, {}, tex));
  EXPECT_EQ((std::vector<uint8_t>(tex.levels[0].data.begin(), tex.levels[0].data.end())),
            (std::vector<uint8_t>{0, 0, 0, 0, 255, 0, 0, 255}));
}

TEST(TextureData, DxtFilesUploadTheirBlocksWhenTheyFit) {
  TextureData tex;
  ASSERT_TRUE(PrepareTextureFromMemory(fixtures::DdsDxt(1), {}, {}, tex));
  EXPECT_EQ(tex.format, Format::DXT1);
  ASSERT_EQ(tex.levels.size(), 1u);  // the file holds one level
  EXPECT_EQ(tex.levels[0].data.size(), 8u);
  EXPECT_EQ(tex.levels[0].pitch, 8u);
  // Without compressed textures, or resized, the decoded pixels are used.
  TextureDeviceCaps plain;
  plain.compressedFormats = false;
  ASSERT_TRUE(PrepareTextureFromMemory(fixtures::DdsDxt(1), {}, plain, tex));
  EXPECT_EQ(tex.format, Format::X8R8G8B8);
  EXPECT_EQ(tex.levels.size(), 3u);
  EXPECT_EQ(tex.levels[0].data[2], 255);  // texel 0 is red
  TextureRequest bigger;
  bigger.width = bigger.height = 8;
  ASSERT_TRUE(PrepareTextureFromMemory(fixtures::DdsDxt(1), bigger, {}, tex));
  EXPECT_EQ(tex.format, Format::X8R8G8B8);
  EXPECT_EQ(tex.width, 8u);
}

TEST(TextureData, FailuresComeBackWithTheReason) {
  TextureData tex;
  std::string error;
  EXPECT_FALSE(PrepareTextureFromFile("/nonexistent/picture.png", {}, {}, tex, &error));
  EXPECT_NE(error.find("/nonexistent/picture.png"), std::string::npos);
  fixtures::Bytes junk(40, 0x55);
  EXPECT_FALSE(PrepareTextureFromMemory(junk, {}, {}, tex, &error));
  EXPECT_TRUE(tex.levels.empty());
}
