// Parameters, saved state and the paths without a device of this group's
// classes.
#include <gtest/gtest.h>

#include <array>

#include "chunk_list.h"
#include "kestrix_library.h"
#include "test_host.h"

namespace {

using Chunks = std::vector<std::pair<std::string, std::string>>;

class KestrixGroupA : public ::testing::Test {
 protected:
  TestHost host;
  KestrixLibrary library{&host};
};

struct ParamRow {
  const char* kind;
  int32_t index;
  int32_t min, max, defaultValue, wraps;
  uint32_t tag;
  const char* name;
  int32_t initial;  // what a new instance reports (not always the row's default)
};

TEST_F(KestrixGroupA, ParameterRowsAndInitialValues) {
  const ParamRow rows[] = {
      {"Fade Source", 0, 0, 127, 64, 0, lv::ChunkTag("VELO"), "Velocity", 64},
      {"HSV Modify Source", 0, -180, 180, 0, 1, lv::ChunkTag("SHUE"), "Hue Shift", 0},
      {"HSV Modify Source", 1, -128, 128, 0, 0, lv::ChunkTag("SSAT"), "Sat Shift", 0},
      {"HSV Modify Source", 2, -128, 128, 0, 0, lv::ChunkTag("SVAL"), "Val Shift", 0},
      {"Chroma Key Source", 0, 0, 359, 0, 1, lv::ChunkTag("KHUE"), "Hue", 0},
      {"Chroma Key Source", 1, 0, 90, 0, 0, lv::ChunkTag("KSTR"), "Strength", 10},
      {"Chroma Key Source", 2, 0, 90, 0, 0, lv::ChunkTag("KFAL"), "Falloff", 10},
      {"Chroma Key Source", 3, 0, 255, 0, 0, lv::ChunkTag("YLIM"), "Y Limit", 16},
      {"Wipe Source", 0, 0, 255, 0, 0, lv::ChunkTag("KRED"), "Key Red", 0},
      {"Wipe Source", 1, 0, 255, 0, 0, lv::ChunkTag("KGRN"), "Key Grn", 0},
      {"Wipe Source", 2, 0, 255, 0, 0, lv::ChunkTag("KBLU"), "Key Blue", 0},
      {"Wipe Source", 3, 0, 255, 10, 0, lv::ChunkTag("KDST"), "Key Dist", 10},
  };
  for (const ParamRow& row : rows) {
    SCOPED_TRACE(std::string(row.kind) + " " + row.name);
    auto plug = library.Create(row.kind);
    ASSERT_NE(plug, nullptr);
    const lv::ParamInfo* info = plug->GetParamInfo(row.index);
    ASSERT_NE(info, nullptr);
    EXPECT_EQ((std::array{info->min, info->max, info->defaultValue, info->wraps}),
              (std::array{row.min, row.max, row.defaultValue, row.wraps}));
    EXPECT_EQ(info->tag, row.tag);
    EXPECT_STREQ(info->name, row.name);
    EXPECT_EQ(info->format, nullptr);
    EXPECT_EQ(plug->GetParam(row.index), row.initial);
    plug->SetParam(row.index, row.max);
    EXPECT_EQ(plug->GetParam(row.index), row.max);
  }
}

TEST_F(KestrixGroupA, KnobsAreOfferedOnlyWhileNoVelocityReplacesThem) {
  const struct {
    const char* kind;
    uint32_t options;
    std::vector<bool> enabled;
  } cases[] = {
      {"Fade Source", 0x000, {false}},
      {"Fade Source", 0x200, {true}},
      {"HSV Modify Source", 0x00, {true, true, true}},
      {"HSV Modify Source", 0x10, {false, true, true}},
      {"HSV Modify Source", 0x20, {true, false, true}},
      {"HSV Modify Source", 0x40, {true, true, false}},
      {"Wipe Source", 0x00, {true, true, true, true}},
      {"Wipe Source", 0x10, {true, true, true, false}},
      {"Chroma Key Source", 0xFF, {true, true, true, true}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.kind) + " options " + std::to_string(c.options));
    auto plug = library.Create(c.kind);
    LoadInto(*plug, ChunkList({{"FLAG", U32(c.options)}}));
    for (size_t i = 0; i < c.enabled.size(); ++i) EXPECT_EQ(plug->IsParamEnabled(int32_t(i)), c.enabled[i]) << i;
  }
}

TEST_F(KestrixGroupA, FlagAndNameStateRoundTrips) {
  const struct {
    const char* kind;
    uint32_t initialOptions;
  } kinds[] = {{"HSV Modify Source", 0x1F}, {"Chroma Key Source", 0x0F}, {"Wipe Source", 0x1D}};
  for (const auto& k : kinds) {
    SCOPED_TRACE(k.kind);
    auto fresh = library.Create(k.kind);
    EXPECT_EQ(ReadChunkList(SavedBy(*fresh)), (Chunks{{"FLAG", U32(k.initialOptions)}, {"NAME", std::string(1, '\0')}}));
    auto saved = library.Create(k.kind);
    LoadInto(*saved, ChunkList({{"FLAG", U32(0x6A)}, {"ZZZZ", "skipped"}, {"NAME", std::string("a.avi", 6)}}));
    const std::vector<uint8_t> bytes = SavedBy(*saved);
    EXPECT_EQ(ReadChunkList(bytes), (Chunks{{"FLAG", U32(0x6A)}, {"NAME", std::string("a.avi", 6)}}));
    auto loaded = library.Create(k.kind);
    EXPECT_TRUE(LoadInto(*loaded, bytes));
    EXPECT_EQ(SavedBy(*loaded), bytes);
  }
}

TEST_F(KestrixGroupA, FadeSavesItsEnvelopeBetweenFlagAndName) {
  auto fresh = library.Create("Fade Source");
  EXPECT_EQ(ReadChunkList(SavedBy(*fresh)), (Chunks{{"FLAG", U32(0xCD)},
                                                    {"FFRM", std::string(1, '\0')},
                                                    {"FTO ", std::string(1, char(100))},
                                                    {"NAME", std::string(1, '\0')}}));
  // Any order loads; a short chunk changes nothing.
  auto saved = library.Create("Fade Source");
  LoadInto(*saved, ChunkList({{"NAME", std::string("b.avi", 6)},
                              {"FTO ", std::string(1, char(30))},
                              {"FFRM", std::string(1, char(70))},
                              {"FLAG", U32(0x301)}}));
  const Chunks expected{{"FLAG", U32(0x301)},
                        {"FFRM", std::string(1, char(70))},
                        {"FTO ", std::string(1, char(30))},
                        {"NAME", std::string("b.avi", 6)}};
  EXPECT_EQ(ReadChunkList(SavedBy(*saved)), expected);
  LoadInto(*saved, ChunkList({{"FFRM", ""}}));
  EXPECT_EQ(ReadChunkList(SavedBy(*saved)), expected);
}

TEST_F(KestrixGroupA, WithoutASourceNothingIsMadeAndNotesAndFramesAreHarmless) {
  for (const char* kind : {"Fade Source", "HSV Modify Source", "Chroma Key Source", "Wipe Source"}) {
    SCOPED_TRACE(kind);
    auto plug = library.Create(kind);
    plug->SetInputName(0, "missing.avi");
    EXPECT_FALSE(plug->CreateDeviceObjects());
    EXPECT_FALSE(plug->CreateDeviceObjects()) << "a retry starts clean";
    plug->velocity = 127;
    plug->NoteOn();
    plug->Render(16);
    plug->NoteOff();
    plug->ReleaseDeviceObjects();
  }
}

}  // namespace
