// Sphere Pulse and Cubist Source without a device: parameters and saved state.
#include <gtest/gtest.h>

#include "chunk_list.h"
#include "library_fixture.h"

namespace {

using Chunks = std::vector<std::pair<std::string, std::string>>;

using ShapeState = LibraryTest;

struct Row {
  uint32_t tag;
  const char* name;
  int32_t min, max, value, wraps;  // new instances start at the row's default
};

const Row kShared[] = {
    {lv::ChunkTag("ROTX"), "X Rot", -360, 360, -180, 1}, {lv::ChunkTag("ROTY"), "Y Rot", -360, 360, 210, 1},
    {lv::ChunkTag("ROTZ"), "Z Rot", -360, 360, 0, 1},    {lv::ChunkTag("POSX"), "X Pos", -500, 500, 0, 0},
    {lv::ChunkTag("POSY"), "Y Pos", -500, 500, 0, 0},
};

TEST_F(ShapeState, ParameterRows) {
  std::vector<Row> sphere(std::begin(kShared), std::end(kShared));
  std::vector<Row> cubist = sphere;
  sphere.insert(sphere.end(), {{lv::ChunkTag("DPTH"), "Depth", 0, 200, 100, 0},
                               {lv::ChunkTag("ALPH"), "Alpha", 0, 255, 255, 0},
                               {lv::ChunkTag("SMTH"), "Smooth", 3, 100, 80, 0}});
  cubist.insert(cubist.end(), {{lv::ChunkTag("DPTH"), "Dist", 0, 200, 100, 0},
                               {lv::ChunkTag("ALPH"), "Alpha", 0, 255, 255, 0},
                               {lv::ChunkTag("SIZX"), "Width", 0, 800, 200, 0},
                               {lv::ChunkTag("SIZY"), "Height", 1, 800, 200, 0},
                               {lv::ChunkTag("SIZZ"), "Depth", 1, 800, 200, 0}});
  for (const auto& [kind, rows] : {std::pair{"Sphere Pulse Source", sphere}, std::pair{"Cubist Source", cubist}}) {
    auto plug = library.Create(kind);
    ASSERT_EQ(plug->GetNumParams(), int32_t(rows.size()));
    for (int32_t i = 0; i < plug->GetNumParams(); ++i) {
      const lv::ParamInfo* info = plug->GetParamInfo(i);
      const Row& row = rows[size_t(i)];
      SCOPED_TRACE(testing::Message() << kind << " " << row.name);
      EXPECT_EQ(info->tag, row.tag);
      EXPECT_STREQ(info->name, row.name);
      EXPECT_EQ((std::array{info->min, info->max, info->defaultValue, info->wraps}),
                (std::array{row.min, row.max, row.value, row.wraps}));
      EXPECT_EQ(plug->GetParam(i), row.value);
      EXPECT_TRUE(plug->IsParamEnabled(i));
    }
  }
}

TEST_F(ShapeState, SavesFlagVolPanAndNameAndLoadsThemInAnyOrder) {
  for (const auto& [kind, options] : {std::pair{"Sphere Pulse Source", 68894u}, std::pair{"Cubist Source", 3358u}}) {
    auto plug = library.Create(kind);
    EXPECT_EQ(ReadChunkList(SavedBy(*plug)),
              (Chunks{{"FLAG", U32(options)}, {"VOL ", "\x7f"}, {"PAN ", "\x40"}, {"NAME", std::string(1, '\0')}}))
        << kind;
    const Chunks saved{{"NAME", std::string("a.avi", 6)}, {"PAN ", "\x01"}, {"FLAG", U32(0x3FFFF)}, {"VOL ", std::string(1, '\0')}};
    ASSERT_TRUE(LoadInto(*plug, ChunkList(saved)));
    EXPECT_EQ(ReadChunkList(SavedBy(*plug)), (Chunks{{"FLAG", U32(0x3FFFF)},
                                                     {"VOL ", std::string(1, '\0')},
                                                     {"PAN ", "\x01"},
                                                     {"NAME", std::string("a.avi", 6)}}))
        << kind;
    EXPECT_FALSE(plug->CreateDeviceObjects()) << "no device, no source";
    plug->NoteOn();
    plug->Render(16);
    EXPECT_FALSE(plug->KeepAfterNoteOff()) << kind;
    plug->NoteOff();
  }
}

}  // namespace
