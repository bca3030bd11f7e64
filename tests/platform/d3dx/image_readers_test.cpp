#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <functional>

#include "image_fixtures.h"
#include "platform/d3dx/image.h"

using d3dx::Format;
using d3dx::Image;
using d3dx::ImageFileFormat;
using fixtures::Rgba;

namespace {

Rgba PixelAt(const Image& img, uint32_t x, uint32_t y) {
  const uint8_t* p = &img.pixels[(size_t(y) * img.width + x) * 4];
  return {p[2], p[1], p[0], p[3]};
}

Rgba Opaque(Rgba c) { return {c.r, c.g, c.b, 255}; }
Rgba BlackOrWhite(Rgba c) { return c.r + c.g + c.b > 384 ? Rgba{255, 255, 255, 255} : Rgba{0, 0, 0, 255}; }
Rgba Same(Rgba c) { return c; }

struct ReaderCase {
  const char* name;
  fixtures::Bytes bytes;
  Format format;
  ImageFileFormat fileFormat;
  std::function<Rgba(Rgba)> expected;  // what each reference pixel becomes
  int tolerance;                       // per channel
};

std::vector<ReaderCase> Cases() {
  using F = Format;
  using I = ImageFileFormat;
  return {
      {"bmp 1-bit", fixtures::Bmp(1), F::P8, I::Bmp, BlackOrWhite, 0},
      {"bmp 4-bit", fixtures::Bmp(4), F::P8, I::Bmp, Opaque, 0},
      {"bmp 8-bit", fixtures::Bmp(8), F::P8, I::Bmp, Opaque, 0},
      {"dib 8-bit (no file header)", fixtures::Bmp(8, false), F::P8, I::Dib, Opaque, 0},
      {"bmp 16-bit 555", fixtures::Bmp(16), F::X1R5G5B5, I::Bmp, Opaque, 8},
      {"bmp 16-bit 565 bit fields", fixtures::Bmp(16, true, false, true), F::R5G6B5, I::Bmp, Opaque, 8},
      {"bmp 24-bit", fixtures::Bmp(24), F::R8G8B8, I::Bmp, Opaque, 0},
      {"bmp 24-bit top-down", fixtures::Bmp(24, true, true), F::R8G8B8, I::Bmp, Opaque, 0},
      {"dib 32-bit with alpha", fixtures::Bmp(32, false), F::A8R8G8B8, I::Dib, Same, 0},
      {"tga 24-bit bottom-up", fixtures::Tga(24, false, false), F::R8G8B8, I::Tga, Opaque, 0},
      {"tga 32-bit top-down", fixtures::Tga(32, false, true), F::A8R8G8B8, I::Tga, Same, 0},
      {"tga 32-bit rle", fixtures::Tga(32, true, false), F::A8R8G8B8, I::Tga, Same, 0},
      {"ppm binary", fixtures::Ppm(true), F::R8G8B8, I::Ppm, Opaque, 0},
      {"ppm text", fixtures::Ppm(false), F::R8G8B8, I::Ppm, Opaque, 0},
      {"png rgba", fixtures::Png(true), F::A8R8G8B8, I::Png, Same, 0},
      {"png rgb", fixtures::Png(false), F::R8G8B8, I::Png, Opaque, 0},
      {"dds a8r8g8b8", fixtures::Dds32(), F::A8R8G8B8, I::Dds, Same, 0},
  };
}

}  // namespace

TEST(ImageReaders, EachFormatDecodesTheReferencePicture) {
  for (const ReaderCase& c : Cases()) {
    SCOPED_TRACE(c.name);
    Image img;
    std::string error;
    ASSERT_TRUE(d3dx::LoadImageFromMemory(c.bytes, img, &error)) << error;
    ASSERT_EQ(img.width, fixtures::kWidth);
    ASSERT_EQ(img.height, fixtures::kHeight);
    EXPECT_EQ(img.info.width, fixtures::kWidth);
    EXPECT_EQ(img.info.depth, 1u);
    EXPECT_EQ(img.info.mipLevels, 1u);
    EXPECT_EQ(img.info.format, c.format);
    EXPECT_EQ(img.info.imageFileFormat, c.fileFormat);
    EXPECT_EQ(img.info.resourceType, d3dx::ResourceType::Texture);
    for (uint32_t y = 0; y < fixtures::kHeight; ++y) {
      for (uint32_t x = 0; x < fixtures::kWidth; ++x) {
        Rgba want = c.expected(fixtures::Reference()[y * fixtures::kWidth + x]);
        Rgba got = PixelAt(img, x, y);
        EXPECT_LE(std::abs(got.r - want.r), c.tolerance) << x << "," << y;
        EXPECT_LE(std::abs(got.g - want.g), c.tolerance) << x << "," << y;
        EXPECT_LE(std::abs(got.b - want.b), c.tolerance) << x << "," << y;
        EXPECT_EQ(got.a, want.a) << x << "," << y;
      }
    }
  }
}

TEST(ImageReaders, TgaRunRepeatsItsPixelAcrossRows) {
  // 3 × 2 grey: one run packet of 5 blue pixels, one raw red pixel.
  fixtures::Bytes file = {0, 0, 10, 0, 0, 0, 0, 0, 0, 0, 0, 0, 3, 0, 2, 0, 24, 0x20,
                          0x80 | 4, 255, 0, 0, 0, 0, 0, 255};
  Image img;
  ASSERT_TRUE(d3dx::LoadImageFromMemory(file, img));
  for (int i = 0; i < 5; ++i) EXPECT_EQ(PixelAt(img, i % 3, i / 3), (Rgba{0, 0, 255, 255})) << i;
  EXPECT_EQ(PixelAt(img, 2, 1), (Rgba{255, 0, 0, 255}));
}

TEST(ImageReaders, JpegDecodesCloseToItsSource) {
  Image img;
  std::string error;
  ASSERT_TRUE(d3dx::LoadImageFromMemory(fixtures::Jpeg(), img, &error)) << error;
  EXPECT_EQ(img.info.format, Format::R8G8B8);
  EXPECT_EQ(img.info.imageFileFormat, ImageFileFormat::Jpg);
  ASSERT_EQ(img.width, 8u);
  Rgba left = PixelAt(img, 1, 4), right = PixelAt(img, 6, 4);
  EXPECT_NEAR(left.r, 200, 12);
  EXPECT_NEAR(left.g, 40, 12);
  EXPECT_NEAR(right.g, 180, 12);
  EXPECT_NEAR(right.b, 60, 12);
  EXPECT_EQ(left.a, 255);
}

TEST(ImageReaders, DxtBlocksDecodeAndStayAvailable) {
  // DXT1: red, blue, 2/3 red + 1/3 blue, 1/3 red + 2/3 blue.
  const Rgba dxt1[4] = {{255, 0, 0, 255}, {0, 0, 255, 255}, {170, 0, 85, 255}, {85, 0, 170, 255}};
  Image img;
  ASSERT_TRUE(d3dx::LoadImageFromMemory(fixtures::DdsDxt(1), img));
  EXPECT_EQ(img.info.format, Format::DXT1);
  ASSERT_EQ(img.compressedLevels.size(), 1u);
  EXPECT_EQ(img.compressedLevels[0].blocks.size(), 8u);
  for (int i = 0; i < 16; ++i) EXPECT_EQ(PixelAt(img, i % 4, i / 4), dxt1[i % 4]) << i;

  // DXT5 alpha: a0 = 255 > a1 = 0, so indices 2-7 interpolate in sevenths.
  ASSERT_TRUE(d3dx::LoadImageFromMemory(fixtures::DdsDxt(5), img));
  EXPECT_EQ(img.info.format, Format::DXT5);
  EXPECT_TRUE(img.hasAlpha);
  const uint8_t alpha[8] = {255, 0, 219, 182, 146, 109, 73, 36};
  for (int i = 0; i < 16; ++i) EXPECT_EQ(PixelAt(img, i % 4, i / 4).a, alpha[i % 8]) << i;
}

TEST(ImageReaders, CorruptOrTruncatedInputFailsWithAMessage) {
  for (const auto& [name, bytes] : fixtures::AllSamples()) {
    SCOPED_TRACE(name);
    // Cuts into the header and into the pixels; the copy is exactly as long
    // as the cut, so the sanitizers catch any read past it.
    for (size_t keep : {size_t(0), size_t(1), size_t(10), bytes.size() / 2}) {
      fixtures::Bytes cut(bytes.begin(), bytes.begin() + std::min(keep, bytes.size()));
      Image img;
      std::string error;
      EXPECT_FALSE(d3dx::LoadImageFromMemory(cut, img, &error)) << "kept " << keep;
      EXPECT_FALSE(error.empty());
      EXPECT_TRUE(img.pixels.empty());
    }
  }
}

TEST(ImageReaders, ForgedHeadersAreRefused) {
  struct Forged {
    const char* name;
    fixtures::Bytes bytes;
    const char* message;
  };
  fixtures::Bytes huge = fixtures::Bmp(24);
  huge[18] = 0xFF, huge[19] = 0xFF, huge[20] = 0xFF, huge[21] = 0x7F;  // width 2^31 - 1
  fixtures::Bytes badOffset = fixtures::Bmp(24);
  badOffset[10] = 0xF0;  // pixels said to start past the end
  fixtures::Bytes rleOverrun = fixtures::Tga(32, true, false);
  rleOverrun[18] = 0x80 | 0x7F;  // first run of 128 pixels in an image of 8
  fixtures::Bytes ppmBig = {'P', '6', ' ', '9', '9', '9', '9', '9', '9', ' ', '1', ' ', '2', '5', '5', '\n'};
  fixtures::Bytes cube = fixtures::Dds32();
  cube[112] = 0x00, cube[113] = 0x02;  // caps2: cube map
  const std::vector<Forged> cases = {
      {"huge bmp", huge, "too large"},
      {"bmp pixel offset", badOffset, "truncated"},
      {"tga run overrun", rleOverrun, "run"},
      {"ppm dimension", ppmBig, "invalid"},
      {"dds cube map", cube, "cube"},
      {"unknown", {'h', 'e', 'l', 'l', 'o'}, "unrecognised"},
  };
  for (const Forged& f : cases) {
    SCOPED_TRACE(f.name);
    Image img;
    std::string error;
    EXPECT_FALSE(d3dx::LoadImageFromMemory(f.bytes, img, &error));
    EXPECT_NE(error.find(f.message), std::string::npos) << error;
  }
}

TEST(ImageReaders, FromFileReadsTheFileAndNamesItInErrors) {
  const std::string path = ::testing::TempDir() + "d3dx_reader_test.tga";
  fixtures::Bytes bytes = fixtures::Tga(24, false, false);
  FILE* f = std::fopen(path.c_str(), "wb");
  ASSERT_NE(f, nullptr);
  std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::fclose(f);
  Image img;
  std::string error;
  ASSERT_TRUE(d3dx::LoadImageFromFile(path, img, &error)) << error;
  EXPECT_EQ(PixelAt(img, 2, 0), (Rgba{0, 0, 255, 255}));
  std::remove(path.c_str());
  EXPECT_FALSE(d3dx::LoadImageFromFile(path, img, &error));
  EXPECT_NE(error.find(path), std::string::npos);
}
