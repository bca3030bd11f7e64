// Display Spectrum without a device: parameters and saved state.
#include <gtest/gtest.h>

#include "chunk_list.h"
#include "kestrix_library.h"
#include "test_host.h"

namespace {

using Chunks = std::vector<std::pair<std::string, std::string>>;

TEST(SpectrumState, ParameterRowsAndStartingValues) {
  TestHost host;
  KestrixLibrary library{&host};
  auto plug = library.Create("Display Spectrum");
  const struct {
    uint32_t tag;
    const char* name;
    int32_t min, max, rowDefault, wraps, start;
  } rows[] = {
      {lv::ChunkTag("SPIN"), "Spin", 0, 720, 0, 1, 50},        {lv::ChunkTag("TILT"), "Tilt", 0, 180, 0, 0, 50},
      {lv::ChunkTag("DIST"), "Dist", 0, 200, 0, 0, 100},       {lv::ChunkTag("HGAN"), "HeightGain", 0, 100, 0, 0, 50},
      {lv::ChunkTag("CGAN"), "ColorGain", 0, 300, 0, 0, 150},  {lv::ChunkTag("ALPH"), "Alpha", 0, 255, 255, 0, 255},
  };
  ASSERT_EQ(plug->GetNumParams(), 6);
  for (int32_t i = 0; i < 6; ++i) {
    const auto& row = rows[i];
    const lv::ParamInfo* info = plug->GetParamInfo(i);
    EXPECT_EQ(info->tag, row.tag);
    EXPECT_STREQ(info->name, row.name);
    EXPECT_EQ((std::array{info->min, info->max, info->defaultValue, info->wraps, plug->GetParam(i)}),
              (std::array{row.min, row.max, row.rowDefault, row.wraps, row.start}))
        << row.name;
    EXPECT_TRUE(plug->IsParamEnabled(i));
  }
}

TEST(SpectrumState, SavesFlagAndNameOnly) {
  TestHost host;
  KestrixLibrary library{&host};
  auto plug = library.Create("Display Spectrum");
  EXPECT_EQ(ReadChunkList(SavedBy(*plug)), (Chunks{{"FLAG", U32(15)}, {"NAME", std::string(1, '\0')}}));
  ASSERT_TRUE(LoadInto(*plug, ChunkList({{"VOL ", "\x10"}, {"NAME", std::string("song.avi", 9)}, {"FLAG", U32(6)}})));
  EXPECT_EQ(ReadChunkList(SavedBy(*plug)), (Chunks{{"FLAG", U32(6)}, {"NAME", std::string("song.avi", 9)}}));
  EXPECT_STREQ(plug->GetInputName(0), "song.avi");
  EXPECT_FALSE(plug->CreateDeviceObjects()) << "no device";
  plug->NoteOn();
  plug->Render(16);
  plug->NoteOff();
}

}  // namespace
