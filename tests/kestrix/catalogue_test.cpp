// The library's exports and its catalogue as the registry loads it.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <set>

#include "kestrix_library.h"
#include "test_host.h"

namespace {

// The servo controllers open their serial ports when created: keep them off
// whatever real ports the machine running the tests has.
const bool kNoRealSerialPorts = [] {
  setenv("LV_SERIAL_COM1", "/nonexistent/lv-test-com1", 1);
  setenv("LV_SERIAL_COM2", "/nonexistent/lv-test-com2", 1);
  return true;
}();

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
    {"Fade Source", "2D Effect", 1, 1, 1, "Fade to/from a source with velocity-based fade time", "74f43e868884c644a969de0b8c7b8be6"},
    {"MiniSSC COM1", "Controller", 0, 0, 0, "Serial Servo Controller for COM1", "66a572f302968a4b89338f7b50317aff"},
    {"MiniSSC COM2", "Controller", 0, 0, 0, "Serial Servo Controller for COM2", "23a693c637302e42ad9aa45dfda4b835"},
    {"Brighten/Dim Source", "2D Effect", 1, 1, 1, "Display a source with velocity-based brightness",
     "2b75bed63a2490408bf1ab231b116636"},
    {"Cubist Source", "3D Effect", 3, 1, 10, "Display a video source on the sides of a cube", "5c063aeac9b301429a9536fccc810f61"},
    {"Kaleidoscope Source", "2D Effect", 3, 1, 11, "Display a video source in a kaleidoscope", "9898f8e7e48c124f9d1d3446ce259629"},
    {"Blur Source", "2D Effect", 1, 1, 4, "Display a source with velocity-based blur", "18c072dbb09843439a9b3ce1e7a16036"},
    {"Glow Source", "2D Effect", 1, 1, 7, "Display a source with velocity-based glow", "6c5f2a817df4134b921a01c8ab76c5e7"},
    {"HSV Modify Source", "2D Effect", 1, 1, 3, "Alter the HSV values of a source", "7b580573945a7e4caf5dc66d9b3aec3a"},
    {"Invert Source", "2D Effect", 1, 1, 1, "Invert a source, or the source brightness",
     "2ddf79ed641b474d8215b69c3e977ee1"},
    {"Wipe Source", "2D Effect", 1, 1, 4, "Wipe using a source as the wipe template", "aa377de4f59b5541a68413d2fe70e834"},
    {"Wormhole Source", "3D Effect", 3, 1, 6, "Pull a source into a wormhole", "d8b075eb510d8743a9498eb5d2186bc9"},
    {"Tunnel Source", "3D Effect", 3, 1, 7, "Draw a source on tunnel walls", "54db4469f21236408daa23e8f36ff245"},
    {"Cross-Hatch Source", "2D Effect", 1, 1, 7, "Display a source with pencil-like crosshatch shading", "54a5fa552c3590478dc87445467b0987"},
    {"Smooth Source", "2D Effect", 1, 1, 5, "Display a source with edge-preserving smooth (cartoon)", "660db11ebad5ce4eabcda930359ba700"},
    {"Outline Source", "2D Effect", 1, 1, 5, "Outline a video source with colored edges", "1a67db9eb966f344b027b5b4d4ab4173"},
    {"Solarize Source", "2D Effect", 1, 1, 8, "Solarize a video source (reduce color gradients)", "7b79229d9cc97e48b964d0b4aa37b383"},
    {"Radial Blur Source", "2D Effect", 1, 1, 11, "Radial Blur a video source", "b8ce8342b1de71498d8905e17ab8186a"},
    {"Pixel Shuffle Source", "2D Effect", 1, 2, 8, "Shuffle pixels from a video source", "e4e1b5b4cf82dc42a6fbd919c74b7f43"},
    {"Chroma Key Source", "2D Effect", 1, 1, 4, "Chroma Key based source transparency", "0e486a547c0c2f48b1b0e605b0f06737"},
    {"Fractal Shuffle Source", "2D Effect", 1, 1, 6, "Distort a source with fractal feedback", "b3a28fb9fc150246854661c6a929233b"},
    {"Blend Source", "2D Effect", 1, 1, 2, "Blend a source over the picture with image-editor blend modes", "723291501a6afd4ca0e4558ba750e6a9"},
    {"Twister Generator", "3D Effect", 1, 0, 3, "Draw a moving tornado of objects", "8d671f158eabb64abafe51ed8dbf257e"},
    {"Sphere Pulse Source", "3D Effect", 3, 1, 8, "Distort a video source with a pulsing sphere", "86ffffd6bc17fa44b928a6186864c480"},
    {"Cube Wall Source", "3D Effect", 3, 1, 5, "Draws a wall of rotating cubes", "e73794e0cf0f6d4c82138fe3e9e95a77"},
    {"Tile Source", "2D Effect", 1, 1, 5, "Tile a source with variable zoom / rotate", "2a57bd8c1ac9b440b0b2c2304a32c6c7"},
    {"Display Spectrum", "3D Effect", 1, 1, 6, "Display a 3D Audio Spectrum", "c1ed73ee6894c044b8c77fc4b3ace651"},
    {"Plasma Life", "2D Effect", 1, 1, 5, "Display a growing pattern, perturbed by a source", "e135fa5d417b4d449dc59453d1645c04"},
    {"Rays Generator", "3D Effect", 1, 0, 14, "Draw moving rays of color", "d2f849da17a0ab4bb50174c042a9d84a"},
    {"String Theory", "3D Generator", 3, 0, 8, "Display glowing, vibrating loops of string", "ea40135bcaafa74b9c7de76c2610fc48"},
    {"Polarity", "3D Generator", 3, 0, 5, "Display rings of color", "cc6ecd242b7b5b42958900ac3a0167ea"},
    {"ShowText", "Text", 1, 0, 11, "Display a text string", "1d83ac81b42e904e952af672242757a6"},
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
