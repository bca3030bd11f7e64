// Image files and the lookup of every built-in source kind by name.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <memory>

#include "lv/source.h"
#include "source_device_fixture.h"
#include "sources/frame_buffer_source.h"
#include "sources/image_file_source.h"

namespace lvtest {
namespace {

using SourcePtr = std::unique_ptr<lv::Source>;

class ImageFileSourceTest : public SourceDeviceTest {};

TEST_F(ImageFileSourceTest, OpensByExtensionWithTheFilesSizeAndTexelCentres) {
  const std::string path = TempPath("four.BMP");  // the extension in any case
  WriteBmp(path, 4, 2, {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF, 0, 0x808080, 0x123456, 0xABCDEF});
  SourcePtr source(host_.CreateSource(path.c_str(), 0));
  ASSERT_NE(source, nullptr);
  EXPECT_EQ(*source->GetClassId(), builtin::ImageFileSource::kClassId);
  lv::SourceInfo info{};
  ASSERT_TRUE(source->GetInfo(&info));
  EXPECT_EQ(info.width, 4u);
  EXPECT_EQ(info.height, 2u);
  const float* rect = source->GetTexelOffset();
  EXPECT_FLOAT_EQ(rect[0], 0.125f);
  EXPECT_FLOAT_EQ(rect[1], 0.25f);
  EXPECT_FLOAT_EQ(rect[2], 1.125f);
  EXPECT_FLOAT_EQ(rect[3], 1.25f);
  ASSERT_NE(source->GetTexture(), nullptr);
  bool wrapped = true, newFrame = true;
  EXPECT_TRUE(source->Advance(40, &wrapped, &newFrame));
  EXPECT_FALSE(wrapped);
  EXPECT_FALSE(newFrame);
  // Released, it stays without a picture: a restart does not reload.
  source->ReleaseDeviceObjects();
  source->Restart();
  EXPECT_EQ(source->GetTexture(), nullptr);
}

TEST_F(ImageFileSourceTest, MissingCorruptOrUnknownFilesGiveNoSource) {
  const std::string corrupt = TempPath("corrupt.png");
  std::ofstream(corrupt) << "not a picture";
  const std::string unknown = TempPath("picture.xyz");
  WriteBmp(unknown, 2, 2, {0, 0, 0, 0});
  for (const std::string& name : {TempPath("absent.jpg"), corrupt, unknown, std::string()}) {
    EXPECT_EQ(host_.CreateSource(name.c_str(), 0), nullptr) << name;
  }
}

TEST(ImageFileSourceDesc, ListsItsSixExtensionsInOrder) {
  lv::SourceDesc* kind = builtin::ImageFileSourceDescriptor();
  EXPECT_STREQ(kind->GetName(), "Images");
  EXPECT_STREQ(kind->GetCategory(), "Image");
  EXPECT_TRUE(kind->IsFileBased());
  EXPECT_FALSE(kind->IsAnimated());
  ASSERT_EQ(kind->NumExtensions(), 6);
  const char* expected[] = {"bmp", "dds", "jpg", "png", "ppm", "tga"};
  for (int i = 0; i < 6; ++i) EXPECT_STREQ(kind->Extension(i), expected[i]);
  EXPECT_EQ(kind->Extension(6), nullptr);
  EXPECT_EQ(kind->Extension(-1), nullptr);
  EXPECT_EQ(kind->GetPrefix(), nullptr);
}

// A work buffer as the frame-buffer kind of a work buffer reads it.
class NoBuffer final : public builtin::CopiedBuffer {
 public:
  uint32_t Width() override { return 8; }
  uint32_t Height() override { return 8; }
  gfx::Format Format() override { return gfx::Format::A8R8G8B8; }
  gfx::Surface* Surface() override { return nullptr; }
};

TEST(BuiltinSourceKinds, NamesFindTheirKinds) {
  lv::PlugRegistry registry;
  builtin::RegisterBuiltinKinds(registry);
  NoBuffer buffer;
  builtin::FrameBufferDesc work2("Work 2", &buffer);
  registry.RegisterSourceKind(&work2, nullptr);
  lv::SourceDesc* image = builtin::ImageFileSourceDescriptor();
  lv::SourceDesc* frameBuffer = builtin::FrameBufferSourceDescriptor();
  const struct {
    const char* name;
    lv::SourceDesc* kind;
  } cases[] = {
      {"Framebuffer:", frameBuffer}, {"FRAMEBUFFER:", frameBuffer}, {"Work 2:", &work2},
      {"C:\\media\\a.PPM", image},   {"/media/b.tga", image},       {"Work 3:", nullptr},
      {"F:", nullptr},  // a colon at index 1 is a drive, not a prefix
  };
  for (const auto& c : cases) EXPECT_EQ(registry.FindSourceKind(c.name), c.kind) << c.name;
  EXPECT_STREQ(work2.GetName(), "FrameBuffer");
  EXPECT_STREQ(work2.GetDescription(), "Work 2");
  registry.Clear();
}

}  // namespace
}  // namespace lvtest
