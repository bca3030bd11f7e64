#include <dlfcn.h>
#include <gtest/gtest.h>

#include "platform/d3dx/image.h"
#include "platform/sys/resources.h"

namespace {

using PluginLookup = const unsigned char* (*)(const char*, uint32_t, size_t*);
using PluginModule = const sys::ResourceTable* (*)();

class PluginResources : public ::testing::Test {
 protected:
  void SetUp() override {
    handle_ = dlopen(LV_TEST_RESOURCE_PLUGIN, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(handle_, nullptr) << dlerror();
    lookup_ = reinterpret_cast<PluginLookup>(dlsym(handle_, "lvTestPluginResource"));
    module_ = reinterpret_cast<PluginModule>(dlsym(handle_, "lvTestPluginModule"));
    ASSERT_TRUE(lookup_ && module_);
  }
  void TearDown() override {
    if (handle_) dlclose(handle_);
  }

  void* handle_ = nullptr;
  PluginLookup lookup_ = nullptr;
  PluginModule module_ = nullptr;
};

}  // namespace

TEST_F(PluginResources, EachModuleFindsItsOwnResourceOfTheSameId) {
  size_t size = 0;
  const unsigned char* bytes = lookup_("SHADER", 7, &size);
  ASSERT_NE(bytes, nullptr);
  EXPECT_EQ(std::string_view(reinterpret_cast<const char*>(bytes), size), "plug-in shader text");

  sys::Resource mine = sys::FindResource(sys::kResourceShader, 7);
  ASSERT_TRUE(mine);
  EXPECT_EQ(mine.Text(), "program shader text");
  EXPECT_EQ(mine.data[mine.size], '\0');  // usable as a C string

  // Ids the other module holds are not found here, and the other way round.
  EXPECT_NE(lookup_("SHADER", 8, &size), nullptr);
  EXPECT_FALSE(sys::FindResource("SHADER", 8));
  EXPECT_EQ(lookup_("BITMAP", 132, &size), nullptr);

  // A module's table serves as its handle for lookups made on its behalf.
  EXPECT_NE(module_(), sys::ThisModuleResources());
  EXPECT_EQ(sys::FindResourceIn(module_(), "shader", 7).Text(), "plug-in shader text");
  EXPECT_FALSE(sys::FindResourceIn(nullptr, "SHADER", 7));
  EXPECT_FALSE(sys::FindResource("SHADERS", 7));
}

TEST(BitmapResources, AreDibsThatDecodeWithTheirAlpha) {
  sys::Resource bitmap = sys::FindResource(sys::kResourceBitmap, 132);
  ASSERT_TRUE(bitmap);
  ASSERT_GE(bitmap.size, 4u);
  EXPECT_NE(bitmap.data[0], 'B');  // the file header is gone, as in a bitmap resource
  EXPECT_EQ(bitmap.data[0], 40);   // BITMAPINFOHEADER size
  d3dx::Image img;
  std::string error;
  ASSERT_TRUE(d3dx::LoadImageFromMemory(bitmap.Bytes(), img, &error)) << error;
  EXPECT_EQ(img.info.imageFileFormat, d3dx::ImageFileFormat::Dib);
  EXPECT_EQ(img.info.format, d3dx::Format::A8R8G8B8);
  ASSERT_EQ(img.width, 2u);
  // B, G, R, A, top row first: red 255, green 128; blue 64, white 0.
  const std::vector<uint8_t> expected = {0, 0, 255, 255, 0, 255, 0, 128, 255, 0, 0, 64, 255, 255, 255, 0};
  EXPECT_EQ(img.pixels, expected);
}
