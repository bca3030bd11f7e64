// The built-in plug-ins' saved state: chunks in their order, read back, and
// damaged or foreign chunks met safely.
#include <gtest/gtest.h>

#include "chunk_list.h"
#include "plugins/color_fill.h"
#include "plugins/show_bmp.h"
#include "plugins/warp_source.h"

namespace {

using builtin::ColorFill;
using builtin::ShowBmp;
using builtin::WarpSource;

std::vector<uint8_t> Saved(lv::Plug& plug) {
  lv::MemoryChunkStream stream;
  EXPECT_TRUE(plug.Save(&stream));
  return WrittenBytes(stream);
}

bool LoadInto(lv::Plug& plug, const std::vector<uint8_t>& bytes) {
  lv::MemoryChunkStream stream;
  stream.Attach(bytes.data(), int32_t(bytes.size()));
  return plug.Load(&stream);
}

using Chunks = std::vector<std::pair<std::string, std::string>>;

TEST(ColorFillState, ColourIsStoredRedFirstAndRoundTrips) {
  ColorFill plug;
  plug.SetOptions(0xE);
  plug.SetColorWord(0x80332211);
  EXPECT_EQ(ReadChunkList(Saved(plug)), (Chunks{{"FLAG", U32(0xE)}, {"COLR", std::string("\x11\x22\x33\x80", 4)}}));
  ColorFill copy;
  ASSERT_TRUE(LoadInto(copy, Saved(plug)));
  EXPECT_EQ(copy.Options(), 0xEu);
  EXPECT_EQ(copy.ColorWord(), 0x80332211u);
  // A colour cut short leaves the word alone; a foreign chunk is skipped.
  ColorFill other;
  ASSERT_TRUE(LoadInto(other, ChunkList({{"COLR", "\x11\x22\x33"}, {"XTRA", "?"}, {"FLAG", U32(2)}})));
  EXPECT_EQ(other.ColorWord(), 0xFF000000u);
  EXPECT_EQ(other.Options(), 2u);
}

TEST(ShowBmpState, ZoomAndFileRoundTrip) {
  ShowBmp plug;
  EXPECT_EQ(plug.Options(), 5u);
  plug.SetOptions(0x18);
  plug.SetZoomFrom(50);
  plug.SetZoomTo(200);
  plug.FileName().Set("pictures/logo.png");
  EXPECT_EQ(ReadChunkList(Saved(plug)), (Chunks{{"FLAG", U32(0x18)},
                                                {"ZMFR", U32(50)},
                                                {"ZMTO", U32(200)},
                                                {"NAME", std::string("pictures/logo.png", 18)}}));
  ShowBmp copy;
  // A volume chunk has no meaning here and is skipped.
  ASSERT_TRUE(LoadInto(copy, ChunkList({{"VOL ", "\x10"}, {"ZMFR", U32(50)}, {"ZMTO", U32(200)},
                                        {"FLAG", U32(0x18)}, {"NAME", std::string("pictures/logo.png", 18)}})));
  EXPECT_EQ(Saved(copy), Saved(plug));
  // The loaded percentages drive the zoom.
  copy.velocity = 64;
  copy.NoteOn();
  EXPECT_FLOAT_EQ(copy.Zoom(), 0.5f);
  EXPECT_EQ(copy.GetInputName(1), nullptr);
}

TEST(WarpSourceState, DefaultsAndRoundTrip) {
  WarpSource plug;
  EXPECT_EQ(plug.Options(), 0x13Cu);
  EXPECT_EQ(plug.Subdivision(), 121);
  const int32_t defaults[] = {3, 0, 0, 0, 5, 0, 0, 100, 64};
  for (int i = 0; i < 9; ++i) EXPECT_EQ(plug.GetParam(i), defaults[i]) << i;
  EXPECT_STREQ(plug.GetParamInfo(0)->name, "Key Dist");
  EXPECT_EQ(plug.GetParamInfo(0)->defaultValue, 0);
  EXPECT_EQ(plug.GetParamInfo(9), nullptr);

  plug.SetStyle(4);
  plug.SetSubdivision(33);
  plug.SourceName().Set("Work 1:");
  EXPECT_EQ(ReadChunkList(Saved(plug)), (Chunks{{"FLAG", U32(0x13C)},
                                                {"VOL ", "\x7f"},
                                                {"PAN ", "\x40"},
                                                {"FXNM", U32(4)},
                                                {"SUBD", U32(33)},
                                                {"NAME", std::string("Work 1:", 8)}}));
  WarpSource copy;
  ASSERT_TRUE(LoadInto(copy, Saved(plug)));
  EXPECT_EQ(Saved(copy), Saved(plug));
  EXPECT_EQ(copy.Style(), 4);
  EXPECT_STREQ(copy.GetInputName(0), "Work 1:");
}

}  // namespace
