#include "registry/plug_registry.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "test_kinds.h"
#include "test_plug.h"

namespace lvtest {
namespace {

// The program's file kinds and a non-file kind, registered like at start-up.
class SourceLookup : public testing::Test {
 protected:
  SourceLookup() {
    registry.RegisterSourceKind(&avis, nullptr);
    registry.RegisterSourceKind(&images, nullptr);
    registry.RegisterSourceKind(&frameBuffer, nullptr);
    registry.RegisterSourceKind(&work, nullptr);
  }

  TestSourceKind avis{"AVIs", true, true, {"avi"}};
  TestSourceKind images{"Images", true, false, {"bmp", "jpg"}};
  TestSourceKind frameBuffer{"FrameBuffer", false, false, {"FrameBuffer"}};
  TestSourceKind work{"Work 1", false, false, {"Work 1"}};
  lv::PlugRegistry registry;
};

TEST_F(SourceLookup, NamesFindTheirKindByPrefixOrExtension) {
  const std::string longPrefix = std::string(300, 'x') + ":clip.jpg";
  struct Case {
    const char* name;
    lv::SourceDesc* expected;
  };
  const Case cases[] = {
      {"C:\\Media\\loop.AVI", &avis},          // the drive's colon is no prefix
      {"/home/me/still.JpG", &images},
      {"FrameBuffer:", &frameBuffer},
      {"framebuffer:whatever.avi", &frameBuffer},  // the prefix wins over the extension
      {"Work 1:", &work},
      {"Nothing:clip.bmp", &images},           // unknown prefix: the extension decides
      {"Nothing:clip", nullptr},
      {"noextension", nullptr},
      {"clip.mpg", nullptr},
      {"a:b.avi", &avis},                      // colon at position 1
      {"AVIs:", nullptr},                      // a file kind has no prefix
      {longPrefix.c_str(), &images},           // too long to be a prefix
      {nullptr, nullptr},
  };
  for (const Case& c : cases) EXPECT_EQ(registry.FindSourceKind(c.name), c.expected) << (c.name ? c.name : "null");
}

TEST_F(SourceLookup, TheFilterListsFileKindsInGroupsAndOnTheirOwn) {
  const std::string filter = registry.BuildSourceFilter();
  // Up to and including the double NUL that ends the list.
  const std::string expected = std::string("All File Sources\0*.avi;*.bmp;*.jpg\0", 35) +
                               std::string("Anim Files\0*.avi\0", 17) +
                               std::string("Image Files\0*.bmp;*.jpg\0", 24) + std::string("AVIs\0*.avi\0", 11) +
                               std::string("Images\0*.bmp;*.jpg\0", 19) + std::string(1, '\0');
  EXPECT_EQ(filter, expected);
}

TEST(SourceFilter, AGroupWithoutPatternsIsLeftOutSoTheListDoesNotEndEarly) {
  TestSourceKind avis{"AVIs", true, true, {"avi"}};
  lv::PlugRegistry registry;
  registry.RegisterSourceKind(&avis, nullptr);
  EXPECT_EQ(registry.BuildSourceFilter(),
            std::string("All File Sources\0*.avi\0Anim Files\0*.avi\0AVIs\0*.avi\0\0", 52));
  EXPECT_EQ(lv::PlugRegistry().BuildSourceFilter(), std::string(1, '\0'));
}

TEST_F(SourceLookup, UnregisteringRemovesOnlyTheFirstNodeOfTheDescriptor) {
  registry.RegisterSourceKind(&work, nullptr);  // registered twice
  registry.UnregisterSourceKind(&work);
  ASSERT_EQ(registry.SourceKindCount(), 4);
  EXPECT_EQ(registry.GetSourceKind(2), &frameBuffer);
  EXPECT_EQ(registry.GetSourceKind(3), &work);
  EXPECT_EQ(registry.FindSourceKind("Work 1:"), &work);
  registry.UnregisterSourceKind(&work);
  EXPECT_EQ(registry.FindSourceKind("Work 1:"), nullptr);
  TestSourceKind stranger{"X", false, false, {"X"}};
  registry.UnregisterSourceKind(&stranger);
  EXPECT_EQ(registry.SourceKindCount(), 3);
}

constexpr lv::ClassId kIdA = {0x11111111, 0x2222, 0x3333, {1, 2, 3, 4, 5, 6, 7, 8}};
constexpr lv::ClassId kIdB = {0x11111111, 0x2222, 0x3333, {1, 2, 3, 4, 5, 6, 7, 9}};

TEST(PlugKinds, AreFoundByIndexAndByAllSixteenBytesOfTheirId) {
  TestPlugKind a(kIdA), b(kIdB), again(kIdB);
  lv::PlugRegistry registry;
  int moduleA = 0, moduleB = 0;
  registry.RegisterPlugKind(&a, &moduleA);
  registry.RegisterPlugKind(&b, &moduleB);
  registry.RegisterPlugKind(&again, &moduleB);
  registry.RegisterPlugKind(nullptr, &moduleB);  // never listed

  ASSERT_EQ(registry.PlugKindCount(), 3);
  EXPECT_EQ(registry.GetPlugKind(0), &a);
  EXPECT_EQ(registry.GetPlugKind(2), &again);
  EXPECT_EQ(registry.GetPlugKind(3), nullptr);
  EXPECT_EQ(registry.GetPlugKind(-1), nullptr);
  EXPECT_EQ(registry.GetPlugKindModule(1), &moduleB);
  EXPECT_EQ(registry.GetPlugKindModule(3), nullptr);

  EXPECT_EQ(registry.FindPlugKind(kIdA), &a);
  EXPECT_EQ(registry.FindPlugKind(kIdB), &b);  // the first of equal ids
  lv::ClassId unknown = kIdA;
  unknown.data1 = 0;
  EXPECT_EQ(registry.FindPlugKind(unknown), nullptr);

  registry.Clear();
  EXPECT_EQ(registry.PlugKindCount(), 0);
  EXPECT_EQ(registry.FindPlugKind(kIdA), nullptr);
}

Journal journal;
lv::Plug* MakeTestPlug() { return new TestPlug(&journal, "made"); }

TEST(PlugKinds, CreatePlugGivesTheHostToNewInstancesOnly) {
  int hostObject = 0;
  auto* host = reinterpret_cast<lv::LorvaneInterface*>(&hostObject);
  lv::PlugRegistry registry(host);
  TestPlugKind creatable(kIdA, 1, MakeTestPlug);
  TestPlugKind notCreatable(kIdA, lv::kKindNotCreatable, MakeTestPlug);
  TestPlugKind makesNothing(kIdA, 1, nullptr);

  std::unique_ptr<lv::Plug> plug(registry.CreatePlug(&creatable));
  ASSERT_NE(plug, nullptr);
  EXPECT_EQ(plug->host, host);
  EXPECT_EQ(registry.CreatePlug(&notCreatable), nullptr);
  EXPECT_EQ(registry.CreatePlug(&makesNothing), nullptr);
  EXPECT_EQ(registry.CreatePlug(nullptr), nullptr);
}

}  // namespace
}  // namespace lvtest
