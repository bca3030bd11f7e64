// Cube Wall Source without a device: parameters and saved state.
#include <gtest/gtest.h>

#include "chunk_list.h"
#include "kestrix_library.h"
#include "test_host.h"

namespace {

using Chunks = std::vector<std::pair<std::string, std::string>>;

TEST(CubeWallState, ParameterRowsStartingValuesAndSavedChunks) {
  TestHost host;
  KestrixLibrary library{&host};
  auto plug = library.Create("Cube Wall Source");
  const struct {
    uint32_t tag;
    const char* name;
    int32_t min, max, rowDefault, wraps, start;
  } rows[] = {
      {lv::ChunkTag("DPTH"), "Depth", 0, 420, 330, 0, 320},   {lv::ChunkTag("ROTA"), "Rotate", -720, 720, 0, 1, 0},
      {lv::ChunkTag("TILT"), "Tilt", -720, 720, 0, 1, 0},     {lv::ChunkTag("SATR"), "Saturate", 0, 255, 255, 0, 255},
      {lv::ChunkTag("ALPH"), "Alpha", 0, 255, 255, 0, 255},
  };
  ASSERT_EQ(plug->GetNumParams(), 5);
  for (int32_t i = 0; i < 5; ++i) {
    const auto& row = rows[i];
    const lv::ParamInfo* info = plug->GetParamInfo(i);
    EXPECT_EQ(info->tag, row.tag);
    EXPECT_STREQ(info->name, row.name);
    EXPECT_EQ((std::array{info->min, info->max, info->defaultValue, info->wraps, plug->GetParam(i)}),
              (std::array{row.min, row.max, row.rowDefault, row.wraps, row.start}))
        << row.name;
    EXPECT_TRUE(plug->IsParamEnabled(i));
  }
  EXPECT_EQ(ReadChunkList(SavedBy(*plug)),
            (Chunks{{"FLAG", U32(47)}, {"VOL ", "\x7f"}, {"PAN ", "\x40"}, {"NAME", std::string(1, '\0')}}));
  ASSERT_TRUE(LoadInto(*plug, ChunkList({{"NAME", std::string("w.avi", 6)}, {"PAN ", "\x02"}, {"FLAG", U32(0xFF)}})));
  EXPECT_EQ(ReadChunkList(SavedBy(*plug)),
            (Chunks{{"FLAG", U32(0xFF)}, {"VOL ", "\x7f"}, {"PAN ", "\x02"}, {"NAME", std::string("w.avi", 6)}}));
  EXPECT_FALSE(plug->CreateDeviceObjects()) << "no device";
  plug->NoteOn();
  plug->Render(16);
  plug->NoteOff();
}

}  // namespace
