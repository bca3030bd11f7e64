// The shared "FLAG"/"VOL "/"PAN "/"NAME" state of plug-ins with a source,
// and the source-name pair it loads into.
#include "platform/window/kit/plug_chunks.h"

#include <gtest/gtest.h>

#include "chunk_list.h"
#include "test_host.h"

namespace {

using Chunks = std::vector<std::pair<std::string, std::string>>;

struct State {
  uint32_t options = 0;
  uint8_t volume = 127;
  uint8_t pan = 64;
  kit::SourceName name;
  kit::PlugChunkFields Fields() { return {&options, &volume, &pan, &name}; }
};

void Load(const std::vector<uint8_t>& bytes, State& state, lv::LorvaneInterface* host = nullptr,
          const kit::ExtraChunkLoader& extra = {}) {
  lv::MemoryChunkStream stream;
  stream.Attach(bytes.data(), int32_t(bytes.size()));
  EXPECT_TRUE(kit::LoadFlagNameVolPan(&stream, host, state.Fields(), extra));
}

TEST(SourceName, InputZeroIsTheSourceAndOtherInputsHaveNone) {
  kit::SourceName name;
  EXPECT_EQ(name.InputName(0), nullptr);
  name.SetInputName(0, "clip.avi");
  name.SetInputName(1, "ignored.avi");
  EXPECT_STREQ(name.InputName(0), "clip.avi");
  EXPECT_EQ(name.InputName(1), nullptr);
  EXPECT_EQ(name.InputName(-1), nullptr);
  name.Set(name.Get());  // its own text
  EXPECT_STREQ(name.Get(), "clip.avi");
  name.Set(nullptr);
  EXPECT_EQ(name.InputName(0), nullptr);
}

TEST(PlugChunks, SaveWritesTheSharedChunksWithExtrasBeforeTheNameAndLoadsThemBack) {
  State saved;
  saved.options = 0x9D;
  saved.volume = 100;
  saved.pan = 1;
  saved.name.Set("media/clip.avi");
  lv::MemoryChunkStream stream;
  ASSERT_TRUE(kit::SaveFlagNameVolPan(&stream, saved.Fields(), [](lv::ChunkStream& s) {
    const uint32_t zoom = 3;
    return s.WriteUInt32Chunk(lv::ChunkTag("ZMFR"), &zoom);
  }));
  const std::vector<uint8_t> bytes = WrittenBytes(stream);
  EXPECT_EQ(ReadChunkList(bytes), (Chunks{{"FLAG", U32(0x9D)},
                                          {"VOL ", "\x64"},
                                          {"PAN ", "\x01"},
                                          {"ZMFR", U32(3)},
                                          {"NAME", std::string("media/clip.avi", 15)}}));

  State loaded;
  std::vector<uint32_t> extraTags;
  Load(bytes, loaded, nullptr, [&](uint32_t tag, lv::ChunkStream&) { extraTags.push_back(tag); });
  EXPECT_EQ(loaded.options, 0x9Du);
  EXPECT_EQ(loaded.volume, 100);
  EXPECT_EQ(loaded.pan, 1);
  EXPECT_STREQ(loaded.name.Get(), "media/clip.avi");
  EXPECT_EQ(extraTags, std::vector<uint32_t>{lv::ChunkTag("ZMFR")});
}

TEST(PlugChunks, PlugInsWithoutVolumeAndPanLeaveThoseChunksOutAndIgnoreThem) {
  State saved;
  saved.options = 4;
  saved.name.Set("a.avi");
  lv::MemoryChunkStream stream;
  ASSERT_TRUE(kit::SaveFlagNameVolPan(&stream, {&saved.options, nullptr, nullptr, &saved.name}));
  EXPECT_EQ(ReadChunkList(WrittenBytes(stream)), (Chunks{{"FLAG", U32(4)}, {"NAME", std::string("a.avi", 6)}}));

  State loaded;
  const std::vector<uint8_t> bytes = ChunkList({{"VOL ", "\x05"}, {"FLAG", U32(2)}});
  lv::MemoryChunkStream in;
  in.Attach(bytes.data(), int32_t(bytes.size()));
  kit::LoadFlagNameVolPan(&in, nullptr, {&loaded.options, nullptr, nullptr, &loaded.name});
  EXPECT_EQ(loaded.options, 2u);
  EXPECT_EQ(loaded.volume, 127) << "no volume field was given";
}

TEST(PlugChunks, UnknownTagsAreSkippedAndTheNameGoesThroughThePathResolution) {
  TestHost host;
  host.resolvePath = [](const std::string& path) {
    return path == "C:/old/clip.avi" ? std::string("/project/clip.avi") : std::string();
  };
  State state;
  Load(ChunkList({{"FLAG", U32(5)}, {"XTRA", "junk"}, {"NAME", std::string("C:/old/clip.avi", 16)}}), state, &host);
  EXPECT_EQ(state.options, 5u);
  EXPECT_STREQ(state.name.Get(), "/project/clip.avi");
  ASSERT_EQ(host.resolveCalls.size(), 1u);
  EXPECT_EQ(host.resolveCalls[0].path, "C:/old/clip.avi");
  EXPECT_EQ(host.resolveCalls[0].bufferLength, 512);

  // Found neither as written nor beside the project: the name stays as stored.
  host.resolvePath = [](const std::string&) { return std::string(); };
  Load(ChunkList({{"NAME", std::string("gone.avi", 9)}}), state, &host);
  EXPECT_STREQ(state.name.Get(), "gone.avi");
}

TEST(PlugChunks, DamagedNamesAreReadBoundedAndTerminated) {
  struct Case {
    const char* what;
    std::string payload;
    const char* expected;  // null: no source
  };
  const std::string longName(600, 'x');
  const std::string cut(511, 'x');
  const Case cases[] = {
      {"no terminating NUL", "abc", "abc"},
      {"empty chunk", "", nullptr},
      {"only the NUL", std::string(1, '\0'), nullptr},
      {"NUL inside", std::string("ab\0cd", 5), "ab"},
      {"longer than the buffer", longName, cut.c_str()},
  };
  for (const Case& c : cases) {
    TestHost host;
    State state;
    state.name.Set("before");
    // The flag after the name must still load: the loader stays in step.
    Load(ChunkList({{"NAME", c.payload}, {"FLAG", U32(9)}}), state, &host);
    if (c.expected == nullptr) {
      EXPECT_EQ(state.name.Get(), nullptr) << c.what;
      EXPECT_TRUE(host.resolveCalls.empty()) << c.what;
    } else {
      EXPECT_STREQ(state.name.Get(), c.expected) << c.what;
      ASSERT_EQ(host.resolveCalls.size(), 1u) << c.what;
      EXPECT_EQ(host.resolveCalls[0].path, c.expected) << c.what;
    }
    EXPECT_EQ(state.options, 9u) << c.what;
  }
}

TEST(PlugChunks, ChunksTooShortForTheirValueLeaveTheFieldAlone) {
  State state;
  state.options = 7;
  Load(ChunkList({{"FLAG", "\x01\x02"}, {"VOL ", ""}, {"PAN ", "\x10"}}), state);
  EXPECT_EQ(state.options, 7u);
  EXPECT_EQ(state.volume, 127);
  EXPECT_EQ(state.pan, 0x10);
}

TEST(PlugChunks, APlugInWithoutSourceSavesAnEmptyNameThatLoadsAsNone) {
  State saved;
  lv::MemoryChunkStream stream;
  ASSERT_TRUE(kit::SaveFlagNameVolPan(&stream, saved.Fields()));
  const std::vector<uint8_t> bytes = WrittenBytes(stream);
  EXPECT_EQ(ReadChunkList(bytes).back(), (std::pair<std::string, std::string>{"NAME", std::string(1, '\0')}));
  State loaded;
  loaded.name.Set("old.avi");
  Load(bytes, loaded);
  EXPECT_EQ(loaded.name.Get(), nullptr);
}

}  // namespace
