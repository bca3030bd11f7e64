// Textures made on a real device from image files: what the device holds
// afterwards is read back from GL and compared with the file's pixels.
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "device_fixture.h"
#include "image_fixtures.h"
#include "platform/d3dx/device_texture.h"

namespace d3dx {
namespace {

using gfx::test::DeviceTest;

uint32_t Argb(const fixtures::Rgba& c) { return uint32_t(c.a) << 24 | uint32_t(c.r) << 16 | uint32_t(c.g) << 8 | c.b; }

// Level `level` of a 32-bit texture as 0xAARRGGBB words, rows top first.
std::vector<uint32_t> ReadLevel(gfx::Texture* texture, uint32_t level) {
  gfx::SurfaceDesc desc;
  EXPECT_EQ(gfx::Result::Ok, texture->GetLevelDesc(level, &desc));
  gfx::LockedRect locked;
  EXPECT_EQ(gfx::Result::Ok, texture->LockRect(level, &locked, nullptr, gfx::lock::ReadOnly));
  std::vector<uint32_t> out(size_t(desc.width) * desc.height);
  for (uint32_t y = 0; y < desc.height; ++y)
    std::memcpy(&out[size_t(y) * desc.width], static_cast<uint8_t*>(locked.bits) + size_t(y) * locked.pitch,
                desc.width * 4);
  texture->UnlockRect(level);
  return out;
}

Image Solid(uint32_t w, uint32_t h) {
  Image image;
  image.width = image.info.width = w;
  image.height = image.info.height = h;
  image.info.format = Format::X8R8G8B8;
  image.pixels.assign(size_t(w) * h * 4, 200);
  return image;
}

class DeviceTextureTest : public DeviceTest {
 protected:
  std::string WriteFile(const std::string& name, const fixtures::Bytes& bytes) {
    const std::string path = (std::filesystem::temp_directory_path() / ("lv_d3dx_" + name)).string();
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    written_.push_back(path);
    return path;
  }
  void TearDown() override {
    for (const std::string& path : written_) std::remove(path.c_str());
    DeviceTest::TearDown();
  }
  std::vector<std::string> written_;
};

TEST_F(DeviceTextureTest, FileBecomesTextureWithItsTexelsAndFullChain) {
  struct Case {
    const char* name;
    fixtures::Bytes bytes;
    Format fileFormat;
    ImageFileFormat fileKind;
    gfx::Format textureFormat;
  };
  const Case cases[] = {
      {"24.bmp", fixtures::Bmp(24), Format::R8G8B8, ImageFileFormat::Bmp, gfx::Format::X8R8G8B8},
      {"alpha.png", fixtures::Png(true), Format::A8R8G8B8, ImageFileFormat::Png, gfx::Format::A8R8G8B8},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ImageInfo info;
    gfx::Texture* texture = nullptr;
    ASSERT_EQ(gfx::Result::Ok, CreateTextureFromFileEx(device_, WriteFile(c.name, c.bytes), {}, &info, &texture));
    EXPECT_EQ(fixtures::kWidth, info.width);
    EXPECT_EQ(fixtures::kHeight, info.height);
    EXPECT_EQ(c.fileFormat, info.format);
    EXPECT_EQ(c.fileKind, info.imageFileFormat);
    EXPECT_EQ(3u, texture->GetLevelCount());  // 4 x 2, 2 x 1, 1 x 1
    gfx::SurfaceDesc desc;
    texture->GetLevelDesc(0, &desc);
    EXPECT_EQ(c.textureFormat, desc.format);
    EXPECT_EQ(gfx::Pool::Managed, desc.pool);
    const std::vector<uint32_t> texels = ReadLevel(texture, 0);
    const bool opaque = c.textureFormat == gfx::Format::X8R8G8B8;
    for (size_t i = 0; i < texels.size(); ++i) {
      const uint32_t expected = Argb(fixtures::Reference()[i]) | (opaque ? 0xFF000000u : 0u);
      EXPECT_TRUE(gfx::test::ColorNear(texels[i], expected, 0)) << "texel " << i;
    }
    texture->Release();
  }
}

TEST_F(DeviceTextureTest, FromMemoryWithSizeFormatPoolUsageAndColourKey) {
  const fixtures::Bytes png = fixtures::Png(false);
  TextureFileOptions options;
  options.width = 8;
  options.height = 4;
  options.mipLevels = 1;
  options.format = gfx::Format::A8R8G8B8;
  options.pool = gfx::Pool::Default;
  options.usage = gfx::usage::Dynamic;
  options.filter = uint32_t(Filter::Point);
  options.colorKey = 0xFF000000u;  // opaque black
  gfx::Texture* texture = nullptr;
  ASSERT_EQ(gfx::Result::Ok, CreateTextureFromFileInMemoryEx(device_, png.data(), png.size(), options, nullptr,
                                                             &texture));
  EXPECT_EQ(1u, texture->GetLevelCount());
  gfx::SurfaceDesc desc;
  texture->GetLevelDesc(0, &desc);
  EXPECT_EQ(8u, desc.width);
  EXPECT_EQ(4u, desc.height);
  EXPECT_EQ(gfx::Pool::Default, desc.pool);
  EXPECT_EQ(gfx::usage::Dynamic, desc.usage);
  const std::vector<uint32_t> texels = ReadLevel(texture, 0);
  // Point-doubled: each file pixel covers 2 x 2 texels; the black one is keyed out.
  EXPECT_EQ(0xFFFF0000u, texels[0]);
  EXPECT_EQ(0xFFFF0000u, texels[1 + 8]);
  EXPECT_EQ(0xFF00FF00u, texels[2]);
  EXPECT_EQ(0x00000000u, texels[2 * 8]);
  EXPECT_EQ(0x00000000u, texels[3 * 8 + 1]);
  EXPECT_EQ(0xFF808080u, texels[2 * 8 + 2]);
  texture->Release();
}

TEST_F(DeviceTextureTest, SizesRoundUpToPowersOfTwoWhereTheDeviceNeedsThem) {
  // This device takes any size.
  EXPECT_FALSE(TextureCapsOf(*device_, kDefault).powerOfTwoOnly);
  TextureDeviceCaps pow2;
  pow2.powerOfTwoOnly = true;
  struct Case {
    uint32_t requestedWidth, requestedHeight;
    TextureDeviceCaps caps;
    uint32_t width, height, levels;
  };
  const Case cases[] = {
      {kDefault, kDefault, pow2, 4, 8, 4},
      {kDefaultNonPow2, 0, pow2, 4, 8, 4},
      {kDefault, kDefault, TextureDeviceCaps{}, 3, 5, 3},
      {6, 9, pow2, 8, 16, 5},
  };
  for (const Case& c : cases) {
    TextureFileOptions options;
    options.width = c.requestedWidth;
    options.height = c.requestedHeight;
    gfx::Texture* texture = nullptr;
    ASSERT_EQ(gfx::Result::Ok, CreateTextureFromImage(device_, Solid(3, 5), options, c.caps, &texture));
    gfx::SurfaceDesc desc;
    texture->GetLevelDesc(0, &desc);
    EXPECT_EQ(c.width, desc.width) << c.requestedWidth;
    EXPECT_EQ(c.height, desc.height) << c.requestedHeight;
    EXPECT_EQ(c.levels, texture->GetLevelCount());
    // Scaling keeps a flat colour flat, down to the last level.
    EXPECT_EQ(0xFFC8C8C8u, ReadLevel(texture, texture->GetLevelCount() - 1).front());
    texture->Release();
  }
}

TEST_F(DeviceTextureTest, CompressedFileIsDecodedForThisDevice) {
  const fixtures::Bytes dds = fixtures::DdsDxt(1);
  ImageInfo info;
  gfx::Texture* texture = nullptr;
  ASSERT_EQ(gfx::Result::Ok, CreateTextureFromFileInMemoryEx(device_, dds.data(), dds.size(), {}, &info, &texture));
  EXPECT_EQ(Format::DXT1, info.format);
  gfx::SurfaceDesc desc;
  texture->GetLevelDesc(0, &desc);
  EXPECT_EQ(4u, desc.width);
  // c0 red, c1 blue; texel i uses index i % 4: red, blue, 2/3 red + 1/3 blue, 1/3 red + 2/3 blue.
  const std::vector<uint32_t> texels = ReadLevel(texture, 0);
  EXPECT_TRUE(gfx::test::ColorNear(texels[0], 0xFFFF0000u, 0));
  EXPECT_TRUE(gfx::test::ColorNear(texels[1], 0xFF0000FFu, 0));
  EXPECT_TRUE(gfx::test::ColorNear(texels[2], 0xFFAA0055u, 2));
  texture->Release();
}

TEST_F(DeviceTextureTest, BadFilesAndArgumentsFailWithoutATexture) {
  fixtures::Bytes truncated = fixtures::Png(true);
  truncated.resize(truncated.size() / 2);
  const fixtures::Bytes garbage(64, 0x5A);
  const std::string missing = (std::filesystem::temp_directory_path() / "lv_d3dx_no_such_file.png").string();
  const std::string truncatedPath = WriteFile("truncated.png", truncated);
  const std::string empty = WriteFile("empty.bmp", {});

  ImageInfo info;
  info.width = 77;
  std::string error;
  for (const std::string& path : {missing, truncatedPath, empty}) {
    gfx::Texture* texture = reinterpret_cast<gfx::Texture*>(1);
    EXPECT_EQ(gfx::Result::InvalidCall, CreateTextureFromFileEx(device_, path, {}, &info, &texture, &error)) << path;
    EXPECT_EQ(nullptr, texture);
    EXPECT_FALSE(error.empty());
  }
  EXPECT_EQ(77u, info.width) << "no image information after a failure";

  gfx::Texture* texture = nullptr;
  EXPECT_EQ(gfx::Result::InvalidCall, CreateTextureFromFileInMemory(device_, garbage.data(), garbage.size(), &texture));
  EXPECT_EQ(gfx::Result::InvalidCall, CreateTextureFromFileInMemory(device_, nullptr, 16, &texture));
  EXPECT_EQ(gfx::Result::InvalidCall, CreateTextureFromFile(nullptr, truncatedPath, &texture));
  EXPECT_EQ(nullptr, texture);

  const fixtures::Bytes bmp = fixtures::Bmp(24);
  TextureFileOptions yuv;
  yuv.format = gfx::Format::YUY2;
  EXPECT_EQ(gfx::Result::NotAvailable,
            CreateTextureFromFileInMemoryEx(device_, bmp.data(), bmp.size(), yuv, nullptr, &texture));
  TextureFileOptions renderTargetInSystemMemory;
  renderTargetInSystemMemory.usage = gfx::usage::RenderTarget;
  renderTargetInSystemMemory.pool = gfx::Pool::SystemMem;
  EXPECT_EQ(gfx::Result::InvalidCall, CreateTextureFromFileInMemoryEx(device_, bmp.data(), bmp.size(),
                                                                      renderTargetInSystemMemory, nullptr, &texture));
  EXPECT_EQ(nullptr, texture);
}

}  // namespace
}  // namespace d3dx
