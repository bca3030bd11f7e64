// Tunnel and Wormhole Source without a device: parameters and saved state.
#include <gtest/gtest.h>

#include "chunk_list.h"
#include "library_fixture.h"

namespace {

using Chunks = std::vector<std::pair<std::string, std::string>>;

using TubeState = LibraryTest;

std::string I32(int32_t v) { return std::string(reinterpret_cast<const char*>(&v), 4); }

TEST_F(TubeState, ParameterRowsAndStartingValues) {
  const struct {
    const char* kind;
    int32_t i;
    uint32_t tag;
    const char* name;
    int32_t min, max, rowDefault, wraps, start;
  } rows[] = {
      {"Tunnel Source", 0, lv::ChunkTag("KDST"), "Key Dist", 0, 255, 0, 0, 3},
      {"Tunnel Source", 1, lv::ChunkTag("OFSX"), "OffsetX", -100, 100, 0, 1, 100},
      {"Tunnel Source", 2, lv::ChunkTag("OFSY"), "OffsetY", -100, 100, 0, 1, 100},
      {"Tunnel Source", 3, lv::ChunkTag("TILX"), "TileX", 1, 16, 0, 0, 4},
      {"Tunnel Source", 4, lv::ChunkTag("TILY"), "TileY", 1, 16, 0, 0, 4},
      {"Tunnel Source", 5, lv::ChunkTag("ALPH"), "Alpha", 0, 255, 255, 0, 255},
      {"Tunnel Source", 6, lv::ChunkTag("VELO"), "Velocity", 0, 127, 64, 0, 64},
      {"Wormhole Source", 0, lv::ChunkTag("KDST"), "Key Dist", 0, 255, 0, 0, 3},
      {"Wormhole Source", 1, lv::ChunkTag("OFSX"), "OffsetX", 0, 100, 0, 1, 100},
      {"Wormhole Source", 2, lv::ChunkTag("OFSY"), "OffsetY", 0, 100, 0, 1, 100},
      {"Wormhole Source", 3, lv::ChunkTag("TILX"), "TileX", 1, 16, 0, 0, 3},
      {"Wormhole Source", 4, lv::ChunkTag("TILY"), "TileY", 1, 16, 0, 0, 3},
      {"Wormhole Source", 5, lv::ChunkTag("VIEW"), "View", 0, 100, 0, 0, 0},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::Message() << row.kind << " " << row.name);
    auto plug = library.Create(row.kind);
    const lv::ParamInfo* info = plug->GetParamInfo(row.i);
    EXPECT_EQ((std::array{info->min, info->max, info->defaultValue, info->wraps}),
              (std::array{row.min, row.max, row.rowDefault, row.wraps}));
    EXPECT_EQ(info->tag, row.tag);
    EXPECT_STREQ(info->name, row.name);
    EXPECT_EQ(plug->GetParam(row.i), row.start);
  }
}

TEST_F(TubeState, KeyDistanceNeedsTransparentBlackAndTheTunnelsVelocityGivesWayToTheNotes) {
  const struct {
    const char* kind;
    uint32_t options;
    std::vector<bool> enabled;
  } cases[] = {
      {"Tunnel Source", 0, {false, true, true, true, true, true, true}},
      {"Tunnel Source", 1, {true, true, true, true, true, true, true}},
      {"Tunnel Source", 128, {false, true, true, true, true, true, false}},
      {"Wormhole Source", 128, {false, true, true, true, true, true}},
      {"Wormhole Source", 1, {true, true, true, true, true, true}},
  };
  for (const auto& c : cases) {
    auto plug = library.Create(c.kind);
    ASSERT_TRUE(LoadInto(*plug, ChunkList({{"FLAG", U32(c.options)}})));
    for (int32_t i = 0; i < plug->GetNumParams(); ++i) {
      EXPECT_EQ(plug->IsParamEnabled(i), c.enabled[size_t(i)]) << c.kind << " options " << c.options << " " << i;
    }
  }
}

TEST_F(TubeState, SavesFlagVolPanSubdivisionAndNameInThatOrder) {
  for (const char* kind : {"Tunnel Source", "Wormhole Source"}) {
    auto plug = library.Create(kind);
    EXPECT_EQ(ReadChunkList(SavedBy(*plug)),
              (Chunks{{"FLAG", U32(156)}, {"VOL ", "\x7f"}, {"PAN ", "\x40"}, {"SUBD", I32(33)}, {"NAME", std::string(1, '\0')}}))
        << kind;
    // Any order loads; unknown chunks are skipped.
    const Chunks saved{{"NAME", std::string("clip.avi", 9)}, {"XTRA", "??"}, {"SUBD", I32(50)},
                       {"PAN ", "\x10"},                   {"VOL ", "\x20"}, {"FLAG", U32(0x7FF)}};
    ASSERT_TRUE(LoadInto(*plug, ChunkList(saved)));
    EXPECT_EQ(ReadChunkList(SavedBy(*plug)), (Chunks{{"FLAG", U32(0x7FF)},
                                                     {"VOL ", "\x20"},
                                                     {"PAN ", "\x10"},
                                                     {"SUBD", I32(50)},
                                                     {"NAME", std::string("clip.avi", 9)}}))
        << kind;
  }
}

TEST_F(TubeState, ASavedSubdivisionOutsideTheDialogsRangeIsBroughtInside) {
  // Below 4 the tunnel's rings would not fit the buffers (and 1 divides by
  // zero); above 101 the indices would not fit 16 bits.
  const struct {
    int32_t saved, loaded;
  } cases[] = {{-5, 4}, {0, 4}, {1, 4}, {3, 4}, {4, 4}, {101, 101}, {102, 101}, {1000000, 101}};
  for (const auto& c : cases) {
    auto plug = library.Create("Tunnel Source");
    ASSERT_TRUE(LoadInto(*plug, ChunkList({{"SUBD", I32(c.saved)}})));
    EXPECT_EQ(ReadChunkList(SavedBy(*plug))[3], (std::pair<std::string, std::string>{"SUBD", I32(c.loaded)}))
        << c.saved;
  }
}

TEST_F(TubeState, WithoutADeviceOrSourceNothingIsMadeAndNothingDraws) {
  for (const char* kind : {"Tunnel Source", "Wormhole Source"}) {
    auto plug = library.Create(kind);
    EXPECT_FALSE(plug->CreateDeviceObjects()) << kind;
    plug->NoteOn();
    plug->Render(16);
    plug->NoteOff();
    plug->ReleaseDeviceObjects();
  }
}

}  // namespace
