// Parameters, saved state and the paths without a device of the library's
// effects.
#include <gtest/gtest.h>

#include "chunk_list.h"
#include "library_fixture.h"

namespace {

using Chunks = std::vector<std::pair<std::string, std::string>>;

using KestrixPlug = LibraryTest;

struct ParamRow {
  const char* kind;
  int32_t min, max, defaultValue, wraps;
  uint32_t tag;
  const char* name;
  int32_t initial;  // what a new instance reports (not always the row's default)
};

TEST_F(KestrixPlug, ParameterRowsAndInitialValues) {
  const ParamRow rows[] = {
      {"Brighten/Dim Source", 0, 200, 0, 0, lv::ChunkTag("BRIT"), "Bright", 100},
      {"Invert Source", 0, 128, 0, 0, lv::ChunkTag("IPCT"), "Inv Amt", 127},
  };
  for (const ParamRow& row : rows) {
    SCOPED_TRACE(row.kind);
    auto plug = library.Create(row.kind);
    ASSERT_NE(plug, nullptr);
    const lv::ParamInfo* info = plug->GetParamInfo(0);
    ASSERT_NE(info, nullptr);
    EXPECT_EQ((std::array{info->min, info->max, info->defaultValue, info->wraps}),
              (std::array{row.min, row.max, row.defaultValue, row.wraps}));
    EXPECT_EQ(info->tag, row.tag);
    EXPECT_STREQ(info->name, row.name);
    EXPECT_EQ(info->format, nullptr);
    EXPECT_EQ(plug->GetParam(0), row.initial);
  }
}

TEST_F(KestrixPlug, BrightIsOfferedOnlyWhileTheVelocityDoesNotSetTheBrightness) {
  auto plug = library.Create("Brighten/Dim Source");
  EXPECT_FALSE(plug->IsParamEnabled(0)) << "new instances take the brightness from the velocity";
  LoadInto(*plug, ChunkList({{"FLAG", U32(0x1D)}}));
  EXPECT_TRUE(plug->IsParamEnabled(0));
  plug->SetParam(0, 150);
  EXPECT_EQ(plug->GetParam(0), 150);
}

TEST_F(KestrixPlug, InvertAmountIsKeptAsAFractionAndReadBackRounded) {
  auto plug = library.Create("Invert Source");
  EXPECT_TRUE(plug->IsParamEnabled(0));
  for (int32_t value : {0, 1, 63, 64, 126, 127, 128}) {
    plug->SetParam(0, value);
    EXPECT_EQ(plug->GetParam(0), value);
  }
}

TEST_F(KestrixPlug, StateSavesAsFlagAndNameAndLoadsBackThroughTheHost) {
  const struct {
    const char* kind;
    uint32_t initialOptions;
  } kinds[] = {{"Brighten/Dim Source", 0x9D}, {"Invert Source", 0x0F}};
  for (const auto& k : kinds) {
    SCOPED_TRACE(k.kind);
    auto fresh = library.Create(k.kind);
    EXPECT_EQ(ReadChunkList(SavedBy(*fresh)), (Chunks{{"FLAG", U32(k.initialOptions)}, {"NAME", std::string(1, '\0')}}));

    auto saved = library.Create(k.kind);
    saved->SetInputName(0, "clips/loop.avi");
    saved->SetInputName(1, "ignored.avi");
    LoadInto(*saved, ChunkList({{"FLAG", U32(0x12)}, {"ZZZZ", "skipped"}}));
    const std::vector<uint8_t> bytes = SavedBy(*saved);
    EXPECT_EQ(ReadChunkList(bytes), (Chunks{{"FLAG", U32(0x12)}, {"NAME", std::string("clips/loop.avi", 15)}}));

    host.resolveCalls.clear();
    auto loaded = library.Create(k.kind);
    EXPECT_TRUE(LoadInto(*loaded, bytes));
    EXPECT_STREQ(loaded->GetInputName(0), "clips/loop.avi");
    EXPECT_EQ(loaded->GetInputName(1), nullptr);
    EXPECT_EQ(host.resolveCalls.size(), 1u) << "the name is looked for beside the project";
    EXPECT_EQ(SavedBy(*loaded), bytes);
  }
}

TEST_F(KestrixPlug, WithoutASourceNothingIsMadeAndNotesAndFramesAreHarmless) {
  for (const char* kind : {"Brighten/Dim Source", "Invert Source"}) {
    SCOPED_TRACE(kind);
    auto plug = library.Create(kind);
    plug->SetInputName(0, "missing.avi");
    EXPECT_FALSE(plug->CreateDeviceObjects());
    EXPECT_FALSE(plug->CreateDeviceObjects()) << "a retry starts clean";
    plug->velocity = 100;
    plug->NoteOn();
    plug->Render(16);
    plug->NoteOff();
    plug->ReleaseDeviceObjects();
  }
}

}  // namespace
