// The generators' parameters, saved state and note lifetimes, without a device.
#include <gtest/gtest.h>

#include <set>

#include "chunk_list.h"
#include "library_fixture.h"

namespace {

using Chunks = std::vector<std::pair<std::string, std::string>>;

using GeneratorState = LibraryTest;

struct Row {
  int32_t min, max, wraps;
  uint32_t tag;
  const char* name;
  int32_t initial;
};

TEST_F(GeneratorState, ParameterRowsAndStartingValues) {
  const struct {
    const char* kind;
    std::vector<Row> rows;
  } kinds[] = {
      {"String Theory",
       {{0, 255, 0, lv::ChunkTag("ERAS"), "Erase", 128}, {0, 255, 0, lv::ChunkTag("WIDE"), "Width", 128}, {0, 255, 0, lv::ChunkTag("DIAM"), "Diameter", 128},
        {0, 255, 0, lv::ChunkTag("GROW"), "Growth", 128}, {0, 255, 0, lv::ChunkTag("SPED"), "Speed", 128}, {0, 255, 0, lv::ChunkTag("AMPL"), "Amplitude", 128},
        {0, 200, 0, lv::ChunkTag("LIFE"), "LifeSpan", 40}, {0, 200, 0, lv::ChunkTag("REPL"), "BirthRate", 100}}},
      {"Twister Generator",
       {{0, 255, 0, lv::ChunkTag("ERAS"), "Erase", 64}, {0, 200, 0, lv::ChunkTag("LNTH"), "Length", 120},
        {0, 200, 0, lv::ChunkTag("SPED"), "Speed", 100}}},
      // The second circle's tags are its own, and Angle2 reaches its start.
      {"Rays Generator",
       {{0, 500, 0, lv::ChunkTag("RAYS"), "Rays", 80}, {0, 100, 0, lv::ChunkTag("SPED"), "Speed", 50}, {0, 255, 0, lv::ChunkTag("BRI1"), "Bright1", 255},
        {0, 200, 0, lv::ChunkTag("SIZ1"), "Size1", 50}, {0, 255, 0, lv::ChunkTag("BRI2"), "Bright2", 30}, {0, 200, 0, lv::ChunkTag("SIZ2"), "Size2", 50},
        {-500, 500, 0, lv::ChunkTag("ROLL"), "RollRate", 250}, {-500, 500, 0, lv::ChunkTag("SEPA"), "Split", 250},
        {0, 500, 1, lv::ChunkTag("HUE1"), "Hue1", 0}, {-500, 500, 0, lv::ChunkTag("RAD1"), "Radius1", 150}, {0, 500, 1, lv::ChunkTag("ANG1"), "Angle1", 150},
        {0, 500, 1, lv::ChunkTag("HUE2"), "Hue2", 250}, {-500, 500, 0, lv::ChunkTag("RAD2"), "Radius2", -150},
        {-500, 500, 1, lv::ChunkTag("ANG2"), "Angle2", -150}}},
  };
  for (const auto& kind : kinds) {
    SCOPED_TRACE(kind.kind);
    auto plug = library.Create(kind.kind);
    ASSERT_EQ(plug->GetNumParams(), int32_t(kind.rows.size()));
    std::set<uint32_t> tags;
    for (int32_t i = 0; i < plug->GetNumParams(); ++i) {
      const Row& row = kind.rows[size_t(i)];
      const lv::ParamInfo* info = plug->GetParamInfo(i);
      EXPECT_EQ((std::array{info->min, info->max, info->defaultValue, info->wraps}),
                (std::array{row.min, row.max, 0, row.wraps}))
          << row.name;
      EXPECT_EQ(info->tag, row.tag) << row.name;
      EXPECT_STREQ(info->name, row.name);
      EXPECT_EQ(plug->GetParam(i), row.initial) << row.name;
      EXPECT_GE(row.initial, row.min) << row.name;
      EXPECT_LE(row.initial, row.max) << row.name;
      tags.insert(info->tag);
    }
    EXPECT_EQ(tags.size(), kind.rows.size()) << "a modulation binding finds its parameter by its tag";
  }
}

TEST_F(GeneratorState, RaysOffersTheCircleParametersOnlyByHand) {
  auto rays = library.Create("Rays Generator");
  for (uint32_t options : {14u, 14u | 32u}) {
    LoadInto(*rays, ChunkList({{"FLAG", U32(options)}}));
    for (int32_t i = 0; i < 14; ++i) {
      const bool expected = (options & 32) != 0 ? i != 1 : i <= 5;
      EXPECT_EQ(rays->IsParamEnabled(i), expected) << "options " << options << " parameter " << i;
    }
  }
}

TEST_F(GeneratorState, StateIsTheOptionWordAloneAndLoadsBack) {
  const struct {
    const char* kind;
    uint32_t initialOptions;
  } kinds[] = {{"Polarity", 1}, {"String Theory", 1}, {"Rays Generator", 14}, {"Twister Generator", 27}};
  for (const auto& k : kinds) {
    SCOPED_TRACE(k.kind);
    auto fresh = library.Create(k.kind);
    EXPECT_EQ(ReadChunkList(SavedBy(*fresh)), (Chunks{{"FLAG", U32(k.initialOptions)}}));
    auto loaded = library.Create(k.kind);
    EXPECT_TRUE(LoadInto(*loaded, ChunkList({{"ZZZZ", "skipped"}, {"FLAG", U32(0x25)}, {"NAME", "ignored"}})));
    const std::vector<uint8_t> bytes = SavedBy(*loaded);
    EXPECT_EQ(ReadChunkList(bytes), (Chunks{{"FLAG", U32(0x25)}}));
    auto again = library.Create(k.kind);
    EXPECT_TRUE(LoadInto(*again, bytes));
    EXPECT_EQ(SavedBy(*again), bytes);
  }
}

TEST_F(GeneratorState, WithoutADeviceNothingIsMadeAndNotesAndFramesAreHarmless) {
  for (const char* kind : {"Polarity", "String Theory", "Rays Generator", "Twister Generator"}) {
    SCOPED_TRACE(kind);
    auto plug = library.Create(kind);
    EXPECT_FALSE(plug->CreateDeviceObjects());
    EXPECT_FALSE(plug->CreateDeviceObjects()) << "a retry starts clean";
    plug->NoteOn();
    plug->Render(16);
    plug->NoteOff();
    plug->ReleaseDeviceObjects();
  }
}

// String Theory plays on after its key is up only until its last loop dies.
class StringTheoryNote : public GeneratorState {
 protected:
  void SetUp() override {
    plug = library.Create("String Theory");
    ASSERT_NE(plug, nullptr);
  }
  // Frames of 25 ms for `ms`.
  void Play(uint32_t ms) {
    for (uint32_t t = 0; t < ms; t += 25) plug->Render(25);
  }
  // The same with the key up: the host asks before each frame whether the
  // note keeps playing; the answer of the last frame.
  bool PlayReleased(uint32_t ms) {
    bool keep = true;
    for (uint32_t t = 0; t < ms && keep; t += 25) {
      keep = plug->KeepAfterNoteOff();
      if (keep) plug->Render(25);
    }
    return keep;
  }
  KestrixLibrary::PlugPtr plug;
};

TEST_F(StringTheoryNote, AReleasedNoteEndsWhenItsLastLoopHasDied) {
  plug->SetParam(6, 2);    // a life of 300 ms
  plug->SetParam(7, 200);  // a birth every 25 ms
  plug->NoteOn();
  Play(1000);  // key down: loops keep being born
  EXPECT_TRUE(PlayReleased(275)) << "the last loops born before the release still live";
  EXPECT_FALSE(PlayReleased(100)) << "no loop is born after the release";
}

TEST_F(StringTheoryNote, ALoopWithNoLifeDiesOnTheFrameAfterItsBirth) {
  plug->SetParam(6, 0);
  plug->SetParam(7, 0);  // one birth every 5025 ms
  plug->NoteOn();
  EXPECT_TRUE(plug->KeepAfterNoteOff());
  plug->Render(16);
  EXPECT_FALSE(plug->KeepAfterNoteOff());
  plug->NoteOn();
  EXPECT_TRUE(plug->KeepAfterNoteOff()) << "a new note starts with a new loop";
}

TEST_F(StringTheoryNote, ABirthRateAboveTheRangeStillEndsItsFrame) {
  plug->SetParam(7, 1000);  // would give no interval between births
  plug->NoteOn();
  plug->Render(16);
  EXPECT_TRUE(plug->KeepAfterNoteOff());
}

}  // namespace
