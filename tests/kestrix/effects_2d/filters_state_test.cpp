// Parameters, option rules and saved state of the filters (Kaleidoscope,
// the two Shuffles, Cross-Hatch, Outline, Smooth, Radial Blur, Solarize and
// Tile), and their paths without a device.
#include <gtest/gtest.h>

#include <array>

#include "chunk_list.h"
#include "library_fixture.h"

namespace {

using Chunks = std::vector<std::pair<std::string, std::string>>;

using FilterPlug = LibraryTest;

struct ParamRow {
  int32_t min, max, defaultValue, wraps;
  const char* tag;
  const char* name;
  int32_t initial;  // what a new instance reports (not always the row's default)
};

struct KindRows {
  const char* kind;
  std::vector<ParamRow> rows;
};

const KindRows kParamTables[] = {
    {"Kaleidoscope Source",
     {{0, 255, 0, 0, "KRED", "Key Red", 0},
      {0, 255, 0, 0, "KGRN", "Key Grn", 0},
      {0, 255, 0, 0, "KBLU", "Key Blue", 0},
      {0, 255, 0, 0, "KDST", "Key Dist", 3},
      {0, 255, 0, 0, "CRED", "Red", 255},
      {0, 255, 0, 0, "CGRN", "Grn", 255},
      {0, 255, 0, 0, "CBLU", "Blue", 255},
      {0, 255, 0, 0, "ALPH", "Alpha", 255},
      {-900, 900, 0, 0, "SIZE", "Scale", 400},
      {-360, 360, 0, 1, "DSPN", "PatSpin", 0},
      {-360, 360, 0, 1, "SSPN", "SrcSpin", 0}}},
    {"Solarize Source",
     {{0, 255, 0, 0, "KRED", "Key Red", 0},
      {0, 255, 0, 0, "KGRN", "Key Grn", 0},
      {0, 255, 0, 0, "KBLU", "Key Blue", 0},
      {0, 255, 10, 0, "KDST", "Key Dist", 10},
      {-255, 255, 0, 0, "BRED", "Bias Red", 0},
      {-255, 255, 0, 0, "BGRN", "Bias Grn", 0},
      {-255, 255, 0, 0, "BBLU", "Bias Blue", 0},
      {2, 64, 8, 0, "STEP", "Steps", 4}}},
    {"Cross-Hatch Source",
     {{0, 255, 0, 0, "KRED", "Key Red", 0},
      {0, 255, 0, 0, "KGRN", "Key Grn", 0},
      {0, 255, 0, 0, "KBLU", "Key Blue", 0},
      {0, 255, 0, 0, "KDST", "Key Dist", 3},
      {-100, 100, 0, 0, "BADJ", "Bright", 0},
      {0, 100, 0, 0, "STRN", "Strength", 50},
      {0, 200, 0, 0, "SATR", "Saturate", 100}}},
    {"Smooth Source",
     {{0, 16, 0, 0, "XBLR", "X Range", 4},
      {0, 16, 0, 0, "YBLR", "Y Range", 4},
      {1, 16, 0, 0, "PASS", "Passes", 4},
      {0, 255, 0, 0, "SMIN", "EnvMin", 4},
      {0, 255, 0, 0, "SMAX", "EnvMax", 32}}},
    {"Outline Source",
     {{0, 255, 0, 0, "CRED", "Red", 0},
      {0, 255, 0, 0, "CGRN", "Grn", 0},
      {0, 255, 0, 0, "CBLU", "Blue", 0},
      {1, 32, 2, 0, "PIXD", "PixDist", 2},
      {0, 500, 10, 0, "TRSH", "Thresh", 50}}},
    {"Radial Blur Source",
     {{0, 255, 0, 0, "KRED", "Key Red", 0},
      {0, 255, 0, 0, "KGRN", "Key Grn", 0},
      {0, 255, 0, 0, "KBLU", "Key Blue", 0},
      {0, 255, 3, 0, "KDST", "Key Dist", 2},
      {-200, 200, 0, 0, "CNTX", "Center X", 0},
      {-200, 200, 0, 0, "CNTY", "Center Y", 0},
      {-100, 100, 25, 0, "BLUR", "Blur Dist", 25},
      {1, 32, 8, 0, "PASS", "Blur Passes", 8},
      {0, 100, 25, 0, "ALPS", "Alpha Start", 25},
      {0, 100, 0, 0, "ALPE", "Alpha End", 0},
      {0, 1, 0, 0, "AMOD", "Alpha Mode", 0}}},
    {"Pixel Shuffle Source",
     {{0, 255, 0, 0, "KRED", "Key Red", 0},
      {0, 255, 0, 0, "KGRN", "Key Grn", 0},
      {0, 255, 0, 0, "KBLU", "Key Blue", 0},
      {0, 255, 3, 0, "KDST", "Key Dist", 3},
      {-200, 200, 50, 0, "STRX", "X Strength", 50},
      {-200, 200, 50, 0, "STRY", "Y Strength", 50},
      {-500, 500, 0, 0, "XOFS", "X Offset", 0},
      {-500, 500, 0, 0, "YOFS", "Y Offset", 0}}},
    {"Fractal Shuffle Source",
     {{0, 200, 0, 0, "FMOD", "Modulus", 30},
      {0, 1439, 0, 1, "ANGL", "Angle", 270},
      {-100, 100, 0, 0, "SPED", "Speed", 50},
      {0, 200, 0, 0, "ZOOM", "Zoom", 20},
      {0, 255, 0, 0, "FADE", "Fade", 255},
      {0, 2, 0, 0, "WRAP", "Wrap", 0}}},
    {"Tile Source",
     {{0, 1439, 0, 1, "ANGL", "Angle", 0},
      {-100, 100, 0, 0, "SPDR", "Rot Spd", 50},
      {0, 250, 0, 0, "ZOOM", "Zoom", 150},
      {-100, 100, 0, 0, "SPDZ", "Zoom Spd", 50},
      {0, 255, 0, 0, "FADE", "Fade", 255}}},
};

TEST_F(FilterPlug, ParameterRowsAndInitialValues) {
  for (const KindRows& table : kParamTables) {
    SCOPED_TRACE(table.kind);
    auto plug = library.Create(table.kind);
    ASSERT_NE(plug, nullptr);
    ASSERT_EQ(plug->GetNumParams(), int32_t(table.rows.size()));
    for (int32_t i = 0; i < plug->GetNumParams(); ++i) {
      const ParamRow& row = table.rows[size_t(i)];
      SCOPED_TRACE(row.name);
      const lv::ParamInfo* info = plug->GetParamInfo(i);
      ASSERT_NE(info, nullptr);
      EXPECT_EQ((std::array{info->min, info->max, info->defaultValue, info->wraps}),
                (std::array{row.min, row.max, row.defaultValue, row.wraps}));
      const char* t = row.tag;
      EXPECT_EQ(info->tag, uint32_t(uint8_t(t[0])) << 24 | uint32_t(uint8_t(t[1])) << 16 | uint32_t(uint8_t(t[2])) << 8 |
                               uint32_t(uint8_t(t[3])));
      EXPECT_STREQ(info->name, row.name);
      EXPECT_EQ(plug->GetParam(i), row.initial);
      plug->SetParam(i, row.max);
      EXPECT_EQ(plug->GetParam(i), row.max);
    }
  }
}

// Which knobs are offered under an option word: one string per word, a
// character per parameter ('1' offered).
struct EnabledCase {
  const char* kind;
  uint32_t options;
  const char* enabled;
};

std::string EnabledParams(lv::Plug& plug) {
  std::string s;
  for (int32_t i = 0; i < plug.GetNumParams(); ++i) s += plug.IsParamEnabled(i) ? '1' : '0';
  return s;
}

TEST_F(FilterPlug, KnobsAreOfferedByTheOptions) {
  const EnabledCase cases[] = {
      {"Solarize Source", 0x19, "00001111"},
      {"Solarize Source", 0x02, "11111111"},
      {"Outline Source", 0x00, "11111"},
      {"Smooth Source", 0x0D, "11111"},
      {"Cross-Hatch Source", 0x99, "0000111"},
      {"Cross-Hatch Source", 0x02, "1111111"},
      {"Smooth Source", 0x40, "00111"},
      {"Smooth Source", 0x80, "00111"},
      {"Kaleidoscope Source", 0x39E, "00001111000"},
      {"Kaleidoscope Source", 0x001, "11111111111"},
      {"Kaleidoscope Source", 0x200, "00001111011"},
      {"Kaleidoscope Source", 0x100, "00001111101"},
      {"Kaleidoscope Source", 0x080, "00001111110"},
      {"Radial Blur Source", 0x3D, "00001111111"},
      {"Radial Blur Source", 0x02, "11111111111"},
      {"Tile Source", 0x3F, "11111"},
      {"Fractal Shuffle Source", 0x1F, "111111"},
      {"Pixel Shuffle Source", 0x39, "00001111"},
      {"Pixel Shuffle Source", 0x02, "11111111"},
      {"Fractal Shuffle Source", 0x0F, "110111"},
      {"Tile Source", 0x10, "11101"},
      {"Tile Source", 0x20, "10111"},
  };
  for (const EnabledCase& c : cases) {
    auto plug = library.Create(c.kind);
    LoadInto(*plug, ChunkList({{"FLAG", U32(c.options)}}));
    EXPECT_EQ(EnabledParams(*plug), c.enabled) << c.kind << " options " << c.options;
  }
}

// Classes that save only "FLAG" and "NAME".
TEST_F(FilterPlug, FlagAndNameRoundTripThroughTheHost) {
  const struct {
    const char* kind;
    uint32_t initialOptions;
  } kinds[] = {{"Solarize Source", 0x19}, {"Smooth Source", 0x0D}, {"Outline Source", 0x0F}, {"Radial Blur Source", 0x3D},
                {"Fractal Shuffle Source", 0x1F}, {"Tile Source", 0x3F}};
  for (const auto& k : kinds) {
    SCOPED_TRACE(k.kind);
    auto fresh = library.Create(k.kind);
    EXPECT_EQ(ReadChunkList(SavedBy(*fresh)), (Chunks{{"FLAG", U32(k.initialOptions)}, {"NAME", std::string(1, '\0')}}));

    auto saved = library.Create(k.kind);
    saved->SetInputName(0, "clips/loop.avi");
    LoadInto(*saved, ChunkList({{"FLAG", U32(0x12)}, {"ZZZZ", "skipped"}}));
    const std::vector<uint8_t> bytes = SavedBy(*saved);
    EXPECT_EQ(ReadChunkList(bytes), (Chunks{{"FLAG", U32(0x12)}, {"NAME", std::string("clips/loop.avi", 15)}}));

    host.resolveCalls.clear();
    auto loaded = library.Create(k.kind);
    EXPECT_TRUE(LoadInto(*loaded, bytes));
    EXPECT_STREQ(loaded->GetInputName(0), "clips/loop.avi");
    EXPECT_EQ(host.resolveCalls.size(), 1u);
    EXPECT_EQ(SavedBy(*loaded), bytes);
  }
}

TEST_F(FilterPlug, WithoutASourceNothingIsMadeAndNotesAndFramesAreHarmless) {
  for (const char* kind : {"Kaleidoscope Source", "Cross-Hatch Source", "Smooth Source", "Solarize Source", "Outline Source", "Radial Blur Source", "Pixel Shuffle Source",
                           "Fractal Shuffle Source", "Tile Source"}) {
    SCOPED_TRACE(kind);
    auto plug = library.Create(kind);
    plug->SetInputName(0, "missing.avi");
    EXPECT_FALSE(plug->CreateDeviceObjects());
    EXPECT_FALSE(plug->CreateDeviceObjects()) << "a retry starts clean";
    plug->velocity = 100;
    plug->NoteOn();
    plug->Render(16);
    plug->NoteOff();
    EXPECT_FALSE(plug->KeepAfterNoteOff());
    plug->ReleaseDeviceObjects();
  }
}

TEST_F(FilterPlug, PixelShuffleKeepsTwoInputsAndSavesBothNames) {
  auto plug = library.Create("Pixel Shuffle Source");
  EXPECT_EQ(ReadChunkList(SavedBy(*plug)),
            (Chunks{{"FLAG", U32(0x39)}, {"NAME", std::string(1, '\0')}, {"OFNM", std::string(1, '\0')}}));
  plug->SetInputName(0, "clips/a.avi");
  plug->SetInputName(1, "clips/offset.avi");
  plug->SetInputName(2, "ignored.avi");
  EXPECT_STREQ(plug->GetInputName(0), "clips/a.avi");
  EXPECT_STREQ(plug->GetInputName(1), "clips/offset.avi");
  EXPECT_EQ(plug->GetInputName(2), nullptr);
  const std::vector<uint8_t> bytes = SavedBy(*plug);
  EXPECT_EQ(ReadChunkList(bytes), (Chunks{{"FLAG", U32(0x39)},
                                          {"NAME", std::string("clips/a.avi", 12)},
                                          {"OFNM", std::string("clips/offset.avi", 17)}}));

  host.resolveCalls.clear();
  auto loaded = library.Create("Pixel Shuffle Source");
  // Any order loads; an offset name without its NUL or past the buffer is cut safely.
  EXPECT_TRUE(LoadInto(*loaded, ChunkList({{"OFNM", std::string(600, 'x')}, {"FLAG", U32(0x42)},
                                           {"NAME", std::string("clips/a.avi", 12)}})));
  EXPECT_EQ(host.resolveCalls.size(), 2u) << "both names are looked for beside the project";
  EXPECT_STREQ(loaded->GetInputName(0), "clips/a.avi");
  EXPECT_EQ(std::string(loaded->GetInputName(1)), std::string(511, 'x'));
  EXPECT_TRUE(LoadInto(*loaded, bytes));
  EXPECT_EQ(SavedBy(*loaded), bytes);
}

TEST_F(FilterPlug, PixelShuffleWithoutItsOffsetSourceMakesNothing) {
  auto plug = library.Create("Pixel Shuffle Source");
  plug->SetInputName(0, "missing.avi");
  plug->SetInputName(1, "missing-too.avi");
  EXPECT_FALSE(plug->CreateDeviceObjects());
  plug->NoteOn();
  plug->Render(16);
  plug->NoteOff();
}

TEST_F(FilterPlug, KaleidoscopeSavesVolumeAndPanBeforeTheName) {
  auto plug = library.Create("Kaleidoscope Source");
  EXPECT_EQ(ReadChunkList(SavedBy(*plug)), (Chunks{{"FLAG", U32(0x39E)},
                                                   {"VOL ", std::string(1, char(127))},
                                                   {"PAN ", std::string(1, char(64))},
                                                   {"NAME", std::string(1, '\0')}}));
  auto loaded = library.Create("Kaleidoscope Source");
  const std::vector<uint8_t> bytes = ChunkList({{"NAME", std::string("a.avi", 6)},
                                                {"PAN ", std::string(1, char(1))},
                                                {"VOL ", std::string(1, char(20))},
                                                {"FLAG", U32(0x41)}});
  EXPECT_TRUE(LoadInto(*loaded, bytes));
  EXPECT_EQ(ReadChunkList(SavedBy(*loaded)), (Chunks{{"FLAG", U32(0x41)},
                                                     {"VOL ", std::string(1, char(20))},
                                                     {"PAN ", std::string(1, char(1))},
                                                     {"NAME", std::string("a.avi", 6)}}));
}

TEST_F(FilterPlug, CrossHatchSavesItsPatternIndexAndLoadsOnlyKnownOnes) {
  auto plug = library.Create("Cross-Hatch Source");
  EXPECT_EQ(ReadChunkList(SavedBy(*plug)),
            (Chunks{{"FLAG", U32(0x99)}, {"INDX", U32(0)}, {"NAME", std::string(1, '\0')}}));
  const struct {
    std::string stored;
    uint32_t loaded;
  } cases[] = {{U32(1), 1}, {U32(0), 0}, {U32(7), 0}, {U32(0xFFFFFFFF), 0}, {"\x01", 0}};
  for (const auto& c : cases) {
    auto loaded = library.Create("Cross-Hatch Source");
    LoadInto(*loaded, ChunkList({{"NAME", std::string("a.avi", 6)}, {"INDX", c.stored}, {"FLAG", U32(0x12)}}));
    EXPECT_EQ(ReadChunkList(SavedBy(*loaded)),
              (Chunks{{"FLAG", U32(0x12)}, {"INDX", U32(c.loaded)}, {"NAME", std::string("a.avi", 6)}}))
        << c.stored.size();
  }
}

TEST_F(FilterPlug, ChoiceKnobsShowTheirNames) {
  const struct {
    const char* kind;
    int32_t param;
    std::vector<std::pair<int32_t, const char*>> shown;
  } knobs[] = {{"Radial Blur Source", 10, {{0, "Blend"}, {1, "Add"}, {2, "?"}}},
               {"Fractal Shuffle Source", 5, {{0, "Border"}, {1, "Clamp"}, {2, "Wrap"}, {3, "?"}, {-1, "?"}}}};
  for (const auto& knob : knobs) {
    auto plug = library.Create(knob.kind);
    const lv::ParamFormat format = plug->GetParamInfo(knob.param)->format;
    ASSERT_NE(format, nullptr) << knob.kind;
    for (auto [value, text] : knob.shown) {
      char shown[64] = {};
      format(value, shown, plug.get(), knob.param);
      EXPECT_STREQ(shown, text) << knob.kind << " " << value;
    }
  }
}

TEST_F(FilterPlug, AngleKnobsShowDegrees) {
  for (auto [kind, param] : {std::pair{"Tile Source", 0}, {"Fractal Shuffle Source", 1}}) {
    auto plug = library.Create(kind);
    const lv::ParamFormat format = plug->GetParamInfo(param)->format;
    ASSERT_NE(format, nullptr) << kind;
    for (auto [value, text] : {std::pair{0, "0.0"}, {2, "0.5"}, {720, "180.0"}, {1439, "359.8"}}) {
      char shown[64] = {};
      format(value, shown, plug.get(), param);
      EXPECT_STREQ(shown, text) << kind << " " << value;
    }
  }
}

}  // namespace
