// Plasma Life without a device: parameters and saved state.
#include <gtest/gtest.h>

#include "chunk_list.h"
#include "kestrix_library.h"
#include "test_host.h"

namespace {

using Chunks = std::vector<std::pair<std::string, std::string>>;

TEST(PlasmaLifeState, ParameterRowsStartingValuesAndSavedChunks) {
  TestHost host;
  KestrixLibrary library{&host};
  auto plug = library.Create("Plasma Life");
  const struct {
    uint32_t tag;
    const char* name;
    int32_t max, start;
  } rows[] = {
      {lv::ChunkTag("PRMA"), "A", 512, 32},      {lv::ChunkTag("PRMB"), "B", 512, 32},
      {lv::ChunkTag("BETA"), "Beta", 1024, 384}, {lv::ChunkTag("SCAL"), "Scale", 512, 256},
      {lv::ChunkTag("DRSC"), "DrawScale", 512, 32},
  };
  ASSERT_EQ(plug->GetNumParams(), 5);
  for (int32_t i = 0; i < 5; ++i) {
    const lv::ParamInfo* info = plug->GetParamInfo(i);
    EXPECT_EQ(info->tag, rows[i].tag);
    EXPECT_STREQ(info->name, rows[i].name);
    EXPECT_EQ((std::array{info->min, info->max, info->defaultValue, info->wraps, plug->GetParam(i)}),
              (std::array{0, rows[i].max, 0, 0, rows[i].start}));
    EXPECT_TRUE(plug->IsParamEnabled(i));
  }
  // Volume and pan are kept but not saved.
  EXPECT_EQ(ReadChunkList(SavedBy(*plug)), (Chunks{{"FLAG", U32(0x0D)}, {"NAME", std::string(1, '\0')}}));
  ASSERT_TRUE(LoadInto(*plug, ChunkList({{"NAME", std::string("p.avi", 6)}, {"FLAG", U32(0x3F)}})));
  EXPECT_EQ(ReadChunkList(SavedBy(*plug)), (Chunks{{"FLAG", U32(0x3F)}, {"NAME", std::string("p.avi", 6)}}));
  EXPECT_FALSE(plug->CreateDeviceObjects());
  plug->NoteOn();
  plug->Render(16);
  plug->NoteOff();
}

}  // namespace
