// The folder scan, the kinds it registers, parameters and saved state,
// without a device.
#include <gtest/gtest.h>

#include <cstring>

#include "chunk_list.h"
#include "files/program_folder.h"
#include "freeframe/freeframe_values.h"
#include "freeframe_fixture.h"
#include "lv/memory_chunk_stream.h"

namespace {

class FreeFrameScan : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(good_) << "test library not built";
    host_.LoadPlugins(kFreeFrameFolder, registry_);
  }
  void TearDown() override { host_.UnloadPlugins(); }

  PlugPtr Create(const char (&id)[5]) {
    lv::PlugDesc* kind = registry_.FindPlugKind(TestClassId(id));
    return PlugPtr(kind != nullptr ? registry_.CreatePlug(kind) : nullptr);
  }

  LibraryRecord good_{"good"};
  lv::PlugRegistry registry_;
  ff::FreeFrameHost host_;
};

TEST_F(FreeFrameScan, AcceptsOnlyUsableLibraries) {
  // Accepted: any_inputs (maximum inputs all ones), good, no_instance, twin.
  // Rejected: API 2, two input frames, no plugMain, and a file that is no library.
  ASSERT_EQ(registry_.PlugKindCount(), 4);
  EXPECT_EQ(host_.ModuleCount(), 4);
  EXPECT_NE(registry_.FindPlugKind(TestClassId("TANY")), nullptr);
  EXPECT_NE(registry_.FindPlugKind(TestClassId("TNOI")), nullptr);
  EXPECT_EQ(registry_.FindPlugKind(TestClassId("TTWO")), nullptr);
  EXPECT_EQ(good_->initialised, 1);
  for (int32_t i = 0; i < registry_.PlugKindCount(); ++i) {
    EXPECT_STREQ(registry_.GetPlugKind(i)->GetCategory(), "FreeFrame");
    EXPECT_NE(registry_.GetPlugKindModule(i), nullptr);
  }
}

TEST_F(FreeFrameScan, DescriptorFromTheLibraryInfo) {
  lv::PlugDesc* kind = registry_.FindPlugKind(TestClassId("TINV"));
  ASSERT_NE(kind, nullptr);
  // Two libraries share the id: the first registered is found.
  EXPECT_STREQ(kind->GetName(), "Test Invert");
  EXPECT_STREQ(kind->GetDescription(), "Inverts the colours");
  EXPECT_EQ(kind->GetKind(), 1);
  const uint8_t expected[16] = {'T', 'I', 'N', 'V', 0xE9, 0x0F, 0x0A, 0x4E,
                                0x8A, 0x0F, 0xF9, 0xA7, 0x35, 0x58, 0xFA, 0xDE};
  EXPECT_EQ(std::memcmp(kind->GetClassId(), expected, 16), 0);
}

TEST_F(FreeFrameScan, UnloadRemovesKindsAndDeinitialises) {
  host_.UnloadPlugins();
  EXPECT_EQ(registry_.PlugKindCount(), 0);
  EXPECT_EQ(host_.ModuleCount(), 0);
  EXPECT_EQ(good_->deinitialised, 1);
}

TEST_F(FreeFrameScan, MissingFolderAddsNothing) {
  host_.LoadPlugins(kFreeFrameFolder + "/absent", registry_);
  EXPECT_EQ(registry_.PlugKindCount(), 4);
}

TEST_F(FreeFrameScan, NumericParametersBecomeHostParameters) {
  PlugPtr plug = Create("TINV");
  ASSERT_TRUE(plug);
  // FreeFrame parameters: 0 "Gain" 0.5, 1 text "Label", 2 "Mix" 0.9999, 3 unnamed 0.25.
  ASSERT_EQ(plug->GetNumParams(), 3);
  const struct {
    const char* name;
    int32_t defaultValue;
    uint32_t index;
  } rows[] = {{"Gain", 512, 0}, {"Mix", 1023, 2}, {"Unnamed", 256, 3}};
  for (int32_t i = 0; i < 3; ++i) {
    const lv::ParamInfo* row = plug->GetParamInfo(i);
    ASSERT_NE(row, nullptr);
    EXPECT_STREQ(row->name, rows[i].name);
    EXPECT_EQ(row->min, 0);
    EXPECT_EQ(row->max, 1024);
    EXPECT_EQ(row->defaultValue, rows[i].defaultValue);
    EXPECT_EQ(row->tag, rows[i].index);
    EXPECT_EQ(plug->GetParam(i), rows[i].defaultValue);
  }
  EXPECT_EQ(plug->GetParamInfo(3), nullptr);
  ff::FreeFramePlug* ffPlug = AsFreeFrame(plug);
  ASSERT_EQ(ffPlug->TextParamCount(), 1);
  EXPECT_STREQ(ffPlug->TextParamName(0), "Label");
  EXPECT_EQ(ffPlug->TextParamIndex(0), 1u);
  EXPECT_STREQ(ffPlug->TextParamValue(0), "hello");
}

TEST_F(FreeFrameScan, ValuesBeforeInstantiationAreKept) {
  PlugPtr plug = Create("TINV");
  ASSERT_TRUE(plug);
  plug->SetParam(0, 1024);
  EXPECT_EQ(plug->GetParam(0), 1024);
  EXPECT_EQ(good_->sets, 0);  // nothing reaches the library without an instance
  char text[32];
  plug->GetParamInfo(0)->format(512, text, plug.get(), 0);
  EXPECT_STREQ(text, "0.500");
}

TEST_F(FreeFrameScan, SavesAndLoadsSourceAndTexts) {
  PlugPtr plug = Create("TINV");
  ASSERT_TRUE(plug);
  lv::MemoryChunkStream saved;
  ASSERT_TRUE(plug->Save(&saved));
  EXPECT_EQ(WrittenBytes(saved), ChunkList({{"NAME", std::string(1, '\0')},
                                            {"FFTX", U32(1) + std::string("hello", 6)}}));

  const std::vector<uint8_t> bytes = ChunkList({{"NAME", std::string("Pattern:", 9)},
                                                {"FFTX", U32(9) + std::string("other", 6)},
                                                {"XTRA", "ignored"},
                                                {"FFTX", "\x01"},
                                                {"FFTX", U32(1) + std::string("world", 6)}});
  lv::MemoryChunkStream in;
  in.Attach(bytes.data(), int32_t(bytes.size()));
  ASSERT_TRUE(plug->Load(&in));
  EXPECT_STREQ(plug->GetInputName(0), "Pattern:");
  EXPECT_STREQ(plug->GetInputName(5), "Pattern:");
  EXPECT_STREQ(AsFreeFrame(plug)->TextParamValue(0), "world");

  lv::MemoryChunkStream again;
  ASSERT_TRUE(plug->Save(&again));
  EXPECT_EQ(WrittenBytes(again), ChunkList({{"NAME", std::string("Pattern:", 9)},
                                            {"FFTX", U32(1) + std::string("world", 6)}}));
}

TEST(FreeFrameDisplay, TextsAreCutAndTrimmed) {
  const struct {
    const char* display;
    int32_t value;
    const char* shown;
  } cases[] = {
      {"Gain            ", 0, "Gain"},
      {"                ", 0, " "},
      {"Short", 0, "Short"},
      {"0123456789abcdefOVERFLOW", 0, "0123456789abcdef"},
      {nullptr, 512, "0.500"},
      {nullptr, 1024, "1.000"},
  };
  for (const auto& c : cases) {
    char text[32];
    ff::FormatDisplay(c.display, c.value, text);
    EXPECT_STREQ(text, c.shown) << (c.display != nullptr ? c.display : "(failed)");
  }
}

TEST(FreeFrameValues, HostScaleTruncates) {
  EXPECT_EQ(ff::HostValue(0.5f), 512);
  EXPECT_EQ(ff::HostValue(0.9999f), 1023);
  EXPECT_EQ(ff::PluginValue(1024), 1.0f);
  EXPECT_EQ(ff::PluginValue(0), 0.0f);
}

TEST(FreeFrameFolder, RelativeFoldersSitBesideTheProgram) {
  const std::string folder = ff::FreeFrameFolder("./FreeFrame");
  EXPECT_EQ(folder, lv::ProgramFolder() + "/FreeFrame");
  EXPECT_EQ(ff::FreeFrameFolder(""), folder);
  EXPECT_EQ(ff::FreeFrameFolder("/opt/effects/"), "/opt/effects/");
}

}  // namespace
