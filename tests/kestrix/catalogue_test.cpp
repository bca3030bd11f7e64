// The library's exports and its catalogue as the registry loads it.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <set>

#include "kestrix_library.h"
#include "test_host.h"

namespace {

std::string StoredBytes(const lv::ClassId& id) {
  const auto* bytes = reinterpret_cast<const uint8_t*>(&id);
  std::string hex;
  for (int i = 0; i < 16; ++i) {
    char pair[3];
    std::snprintf(pair, sizeof pair, "%02x", bytes[i]);
    hex += pair;
  }
  return hex;
}

struct CatalogueRow {
  const char* name;
  const char* category;
  int32_t kind;
  int32_t inputs;
  int32_t params;
  const char* description;
  const char* classId;  // the 16 bytes as project files store them
};

// The classes built so far, in catalogue order.
const CatalogueRow kCatalogue[] = {
    {"MiniSSC COM1", "Controller", 0, 0, 0, "Serial Servo Controller for COM1", "66a572f302968a4b89338f7b50317aff"},
    {"MiniSSC COM2", "Controller", 0, 0, 0, "Serial Servo Controller for COM2", "23a693c637302e42ad9aa45dfda4b835"},
    {"Brighten/Dim Source", "2D Effect", 1, 1, 1, "Display a source with velocity-based brightness",
     "2b75bed63a2490408bf1ab231b116636"},
    {"Invert Source", "2D Effect", 1, 1, 1, "Invert a source, or the source brightness",
     "2ddf79ed641b474d8215b69c3e977ee1"},
    {"Twister Generator", "3D Effect", 1, 0, 3, "Draw a moving tornado of objects", "8d671f158eabb64abafe51ed8dbf257e"},
    {"Rays Generator", "3D Effect", 1, 0, 14, "Draw moving rays of color", "d2f849da17a0ab4bb50174c042a9d84a"},
    {"String Theory", "3D Generator", 3, 0, 8, "Display glowing, vibrating loops of string", "ea40135bcaafa74b9c7de76c2610fc48"},
    {"Polarity", "3D Generator", 3, 0, 5, "Display rings of color", "cc6ecd242b7b5b42958900ac3a0167ea"},
};

TEST(KestrixCatalogue, TheRegistryRegistersEveryKindInCatalogueOrder) {
  TestHost host;
  KestrixLibrary library(&host);
  lv::PlugRegistry& registry = library.Registry();
  ASSERT_EQ(registry.PlugKindCount(), int32_t(std::size(kCatalogue)));
  std::set<std::string> ids;
  for (int32_t i = 0; i < registry.PlugKindCount(); ++i) {
    const CatalogueRow& row = kCatalogue[i];
    lv::PlugDesc* kind = registry.GetPlugKind(i);
    SCOPED_TRACE(row.name);
    EXPECT_STREQ(kind->GetName(), row.name);
    EXPECT_STREQ(kind->GetCategory(), row.category);
    EXPECT_STREQ(kind->GetDescription(), row.description);
    EXPECT_EQ(kind->GetKind(), row.kind);
    EXPECT_EQ(StoredBytes(*kind->GetClassId()), row.classId);
    EXPECT_EQ(registry.FindPlugKind(*kind->GetClassId()), kind) << "a project finds the kind again by its id";
    ids.insert(row.classId);

    KestrixLibrary::PlugPtr plug(registry.CreatePlug(kind));
    ASSERT_NE(plug, nullptr);
    EXPECT_EQ(plug->host, &host);
    EXPECT_EQ(plug->GetKind(), kind->GetKind());
    EXPECT_EQ(*plug->GetClassId(), *kind->GetClassId());
    EXPECT_EQ(plug->GetNumInputs(), row.inputs);
    EXPECT_EQ(plug->GetNumParams(), row.params);
    EXPECT_FALSE(plug->KeepAfterNoteOff());
  }
  EXPECT_EQ(ids.size(), std::size(kCatalogue)) << "no two kinds share a class id";
}

TEST(KestrixExports, OnlyTheThreeEntryPointsAndNoDescriptorOutsideTheCatalogue) {
  void* library = dlopen(LV_KESTRIX_PATH, RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(library, nullptr) << dlerror();
  auto version = reinterpret_cast<int (*)()>(dlsym(library, "lvpGetVersion"));
  auto count = reinterpret_cast<int (*)()>(dlsym(library, "lvpGetNumPlugs"));
  auto descriptor = reinterpret_cast<lv::PlugDesc* (*)(int)>(dlsym(library, "lvpGetPlugDesc"));
  ASSERT_TRUE(version && count && descriptor);
  EXPECT_EQ(version(), 768);
  EXPECT_EQ(count(), int(std::size(kCatalogue)));
  for (int i = 0; i < count(); ++i) EXPECT_NE(descriptor(i), nullptr) << i;
  for (int outside : {count(), -1, INT_MIN, INT_MAX}) EXPECT_EQ(descriptor(outside), nullptr) << outside;
  // Everything else stays inside the library.
  EXPECT_EQ(dlsym(library, "_ZN7kestrix13CatalogueSizeEv"), nullptr);
  EXPECT_EQ(dlsym(library, "lvModuleResources"), nullptr);
  dlclose(library);
}

}  // namespace
