#include "registry/plugin_libraries.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_prompts.h"

namespace {

std::vector<std::string> KindNames(const lv::PlugRegistry& registry) {
  std::vector<std::string> names;
  for (int32_t i = 0; i < registry.PlugKindCount(); ++i) names.push_back(registry.GetPlugKind(i)->GetName());
  return names;
}

bool IsLoaded(const char* fileName) {
  const std::string path = std::string(LV_FIXTURE_PLUGIN_DIR) + "/" + fileName;
  void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD);
  if (handle != nullptr) dlclose(handle);
  return handle != nullptr;
}

// The folder holds: a file that is no library, a library without exports, one
// without lvpGetPlugDesc, one of version 767, one whose first descriptor is
// null, and a good one.
TEST(PluginLibraries, OnlyCompleteLibrariesOfTheRightVersionContributeKinds) {
  FakePrompts prompts;
  lv::PlugRegistry registry;
  {
    lv::PluginLibraries libraries;
    int owner = 0;
    libraries.LoadFolder(LV_FIXTURE_PLUGIN_DIR, registry, reinterpret_cast<lv::WindowHandle>(&owner));

    EXPECT_EQ(KindNames(registry),
              (std::vector<std::string>{"d_null_descriptor two", "e_good one", "e_good two"}));
    ASSERT_EQ(libraries.Modules().size(), 2u);
    EXPECT_EQ(registry.GetPlugKindModule(0), libraries.Modules()[0]);
    EXPECT_EQ(registry.GetPlugKindModule(2), libraries.Modules()[1]);
    // A kind that makes no instance gives none, without harm.
    EXPECT_EQ(registry.CreatePlug(registry.GetPlugKind(0)), nullptr);

    const std::vector<window::MessageBoxRequest> boxes = prompts.Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "The plug-in \"c_version_767.so\" was written for a different version of Lorvane.");
    EXPECT_EQ(boxes[0].caption, "Plug-in Error");
    EXPECT_EQ(boxes[0].icon, window::MessageBoxIcon::kWarning);
    EXPECT_EQ(boxes[0].owner, reinterpret_cast<window::WindowHandle>(&owner));

    // Rejected libraries are not kept loaded; accepted ones are until freed.
    EXPECT_FALSE(IsLoaded("a_no_exports.so"));
    EXPECT_FALSE(IsLoaded("b_missing_export.so"));
    EXPECT_FALSE(IsLoaded("c_version_767.so"));
    EXPECT_TRUE(IsLoaded("e_good.so"));
    registry.Clear();
  }
  EXPECT_FALSE(IsLoaded("e_good.so"));
  EXPECT_FALSE(IsLoaded("d_null_descriptor.so"));
}

TEST(PluginLibraries, AMissingFolderLoadsNothing) {
  FakePrompts prompts;
  lv::PlugRegistry registry;
  lv::PluginLibraries libraries;
  libraries.LoadFolder(std::string(LV_FIXTURE_PLUGIN_DIR) + "/absent", registry);
  EXPECT_EQ(registry.PlugKindCount(), 0);
  EXPECT_TRUE(libraries.Modules().empty());
  EXPECT_TRUE(prompts.Boxes().empty());
}

}  // namespace
