// Parameters, saved state and the paths without a device of Fade, HSV
// Modify, Chroma Key, Wipe, Blur, Glow and Blend (and ShowText, whose rows
// share the tables).
#include <gtest/gtest.h>

#include <array>

#include "chunk_list.h"
#include "library_fixture.h"

namespace {

using Chunks = std::vector<std::pair<std::string, std::string>>;

using EffectPlug = LibraryTest;

struct ParamRow {
  const char* kind;
  int32_t index;
  int32_t min, max, defaultValue, wraps;
  uint32_t tag;
  const char* name;
  int32_t initial;  // what a new instance reports (not always the row's default)
};

TEST_F(EffectPlug, ParameterRowsAndInitialValues) {
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
      {"Blur Source", 0, 0, 128, 0, 0, lv::ChunkTag("XBLR"), "X Blur", 4},
      {"Blur Source", 1, 0, 128, 0, 0, lv::ChunkTag("YBLR"), "Y Blur", 4},
      {"Blur Source", 2, 1, 16, 0, 0, lv::ChunkTag("PASS"), "Passes", 1},
      {"Blur Source", 3, 0, 3, 0, 0, lv::ChunkTag("TYPE"), "Anim Type", 0},
      {"Glow Source", 0, 0, 255, 0, 0, lv::ChunkTag("KRED"), "Key Red", 255},
      {"Glow Source", 1, 0, 255, 0, 0, lv::ChunkTag("KGRN"), "Key Grn", 255},
      {"Glow Source", 2, 0, 255, 0, 0, lv::ChunkTag("KBLU"), "Key Blue", 255},
      {"Glow Source", 3, 0, 255, 0, 0, lv::ChunkTag("KDST"), "Key Dist", 25},
      {"Glow Source", 4, 0, 128, 0, 0, lv::ChunkTag("XBLR"), "X Glow", 50},
      {"Glow Source", 5, 0, 128, 0, 0, lv::ChunkTag("YBLR"), "Y Glow", 50},
      {"Glow Source", 6, 1, 16, 0, 0, lv::ChunkTag("PASS"), "Passes", 4},
      {"Blend Source", 0, 0, 255, 0, 0, lv::ChunkTag("OPAC"), "Opacity", 255},
      {"Blend Source", 1, 0, 13, 0, 0, lv::ChunkTag("MODE"), "Mode", 0},
      {"ShowText", 0, 0, 3, 0, 1, lv::ChunkTag("FIDX"), "Font", 0},
      {"ShowText", 1, 0, 255, 255, 0, lv::ChunkTag("COLR"), "Red", 255},
      {"ShowText", 2, 0, 255, 255, 0, lv::ChunkTag("COLG"), "Green", 255},
      {"ShowText", 3, 0, 255, 255, 0, lv::ChunkTag("COLB"), "Blue", 255},
      {"ShowText", 4, 0, 255, 255, 0, lv::ChunkTag("ALPH"), "Alpha", 255},
      {"ShowText", 5, -400, 400, 0, 1, lv::ChunkTag("POSX"), "XPos", 0},
      {"ShowText", 6, -400, 400, 0, 1, lv::ChunkTag("POSY"), "YPos", 0},
      {"ShowText", 7, -800, 800, 100, 0, lv::ChunkTag("SIZX"), "Width", 100},
      {"ShowText", 8, -800, 800, 100, 0, lv::ChunkTag("SIZY"), "Height", 100},
      {"ShowText", 9, -500, 500, 100, 0, lv::ChunkTag("SCAL"), "Scale", 100},
      {"ShowText", 10, -360, 360, 0, 1, lv::ChunkTag("ANGL"), "Angle", 0},
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
    const bool formatted = std::string(row.name) == "Anim Type" || std::string(row.name) == "Mode";
    EXPECT_EQ(info->format != nullptr, formatted);
    EXPECT_EQ(plug->GetParam(row.index), row.initial);
    plug->SetParam(row.index, row.max);
    EXPECT_EQ(plug->GetParam(row.index), row.max);
  }
}

TEST_F(EffectPlug, KnobsAreOfferedOnlyWhileNoVelocityReplacesThem) {
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
      {"Blur Source", 0x00, {true, true, true, false}},
      {"Blur Source", 0x40, {true, true, true, true}},
      {"Blur Source", 0xC0, {false, false, true, true}},
      {"Glow Source", 0x00, {true, true, true, true, true, true, true}},
      {"Glow Source", 0x40, {true, true, true, true, false, false, true}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.kind) + " options " + std::to_string(c.options));
    auto plug = library.Create(c.kind);
    LoadInto(*plug, ChunkList({{"FLAG", U32(c.options)}}));
    for (size_t i = 0; i < c.enabled.size(); ++i) EXPECT_EQ(plug->IsParamEnabled(int32_t(i)), c.enabled[i]) << i;
  }
}

TEST_F(EffectPlug, FlagAndNameStateRoundTrips) {
  const struct {
    const char* kind;
    uint32_t initialOptions;
  } kinds[] = {{"HSV Modify Source", 0x1F}, {"Chroma Key Source", 0x0F}, {"Wipe Source", 0x1D},
              {"Blur Source", 0x8E}, {"Glow Source", 0x18E}, {"Blend Source", 6}};
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

TEST_F(EffectPlug, FadeSavesItsEnvelopeBetweenFlagAndName) {
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

TEST_F(EffectPlug, WithoutASourceNothingIsMadeAndNotesAndFramesAreHarmless) {
  for (const char* kind : {"Fade Source", "HSV Modify Source", "Chroma Key Source", "Wipe Source", "Blur Source",
                           "Glow Source", "Blend Source"}) {
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

TEST_F(EffectPlug, KnobTextsNameTheModes) {
  const struct {
    const char* kind;
    int32_t index, value;
    const char* text;
  } cases[] = {
      {"Blur Source", 3, 0, "Off On Cyc"}, {"Blur Source", 3, 3, "On Off"},    {"Blur Source", 3, 9, "Off On Cyc"},
      {"Blend Source", 1, 0, "Normal"},    {"Blend Source", 1, 13, "Exclusion"}, {"Blend Source", 1, 99, "Normal"},
  };
  for (const auto& c : cases) {
    auto plug = library.Create(c.kind);
    char text[64] = {};
    plug->GetParamInfo(c.index)->format(c.value, text, plug.get(), c.index);
    EXPECT_STREQ(text, c.text) << c.kind << " " << c.value;
  }
}

TEST_F(EffectPlug, ShowTextSavesOptionTextAndFont) {
  auto fresh = library.Create("ShowText");
  std::string font(60, '\0');
  font[0] = 12;   // height
  font[26] = 2;   // proof quality
  EXPECT_EQ(ReadChunkList(SavedBy(*fresh)),
            (Chunks{{"FLAG", U32(1)}, {"TEXT", std::string(1, '\0')}, {"FONT", font}}));

  std::string chosen = font;
  chosen[0] = 40;
  chosen.replace(28, 5, "Serif");
  auto saved = library.Create("ShowText");
  LoadInto(*saved, ChunkList({{"FONT", chosen}, {"ZZZZ", "x"}, {"TEXT", std::string("Hello", 6)}, {"FLAG", U32(0)}}));
  const Chunks expected{{"FLAG", U32(0)}, {"TEXT", std::string("Hello", 6)}, {"FONT", chosen}};
  EXPECT_EQ(ReadChunkList(SavedBy(*saved)), expected);

  // A text without its NUL ends with the chunk; a short font and an
  // unterminated face name cannot run past their buffers.
  std::string noNul(60, 'A');
  LoadInto(*saved, ChunkList({{"TEXT", "abc"}, {"FONT", "short"}, {"FLAG", U32(1)}}));
  EXPECT_EQ(ReadChunkList(SavedBy(*saved))[1].second, std::string("abc", 4));
  EXPECT_EQ(ReadChunkList(SavedBy(*saved))[2].second, chosen);
  LoadInto(*saved, ChunkList({{"FONT", noNul}}));
  EXPECT_EQ(ReadChunkList(SavedBy(*saved))[2].second.back(), '\0');
  EXPECT_EQ(ReadChunkList(SavedBy(*saved))[1].second, std::string(1, '\0')) << "loading starts without text";

  EXPECT_EQ(saved->GetNumInputs(), 0);
  EXPECT_EQ(saved->GetInputName(0), nullptr);
  EXPECT_FALSE(saved->CreateDeviceObjects()) << "no text, nothing to draw";
}

}  // namespace
