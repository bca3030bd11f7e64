// FreeFrame effects written in C against their own declarations of the
// interface, so the host's calling convention is checked from the plug-in's
// side: parameter layout, answers that fill only 32 bits, a null instance and
// names that end at the end of readable memory.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "chunk_list.h"
#include "freeframe_render_fixture.h"
#include "lv/memory_chunk_stream.h"

namespace {

using gfx::test::ColorNear;

const std::string kCFolder = LV_FREEFRAME_C_TEST_DIR;

// The pattern's pixels as an effect that fills its frame with grey `level`
// (0..1) leaves them.
uint32_t Grey(float level) { return 0xFF000000u | uint32_t(level * 255.0f + 0.5f) * 0x010101u; }

class FreeFrameCPlugin : public ff::test::FreeFrameRender {
 protected:
  void SetUp() override {
    FreeFrameRender::SetUp();
    ASSERT_FALSE(HasFatalFailure());
    freeFrame_.LoadPlugins(kCFolder, registry_);
  }
  void TearDown() override {
    FreeFrameRender::TearDown();
    for (void* handle : handles_) dlclose(handle);
  }

  // A function the C library `name` exports for the tests.
  template <typename Fn>
  Fn Export(const char* name, const char* symbol) {
    void* handle = dlopen((kCFolder + "/" + name + ".so").c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) return nullptr;
    handles_.push_back(handle);
    return reinterpret_cast<Fn>(dlsym(handle, symbol));
  }

  std::string Shown(int32_t param, int32_t value) {
    char text[32] = {};
    plug_->GetParamInfo(param)->format(value, text, plug_.get(), param);
    return text;
  }

  std::vector<void*> handles_;
};

TEST_F(FreeFrameCPlugin, ParameterValuesReachThePlugIn) {
  ASSERT_NO_FATAL_FAILURE(Make("TPEC"));
  const std::vector<uint8_t> state = ChunkList({{"NAME", std::string("Pattern:", 9)},
                                                {"FFTX", U32(1) + std::string("hello", 6)}});
  lv::MemoryChunkStream in;
  in.Attach(state.data(), int32_t(state.size()));
  ASSERT_TRUE(plug_->Load(&in));
  ASSERT_TRUE(plug_->CreateDeviceObjects());
  auto caption = Export<const char* (*)()>("param_echo", "paramEchoCaption");
  ASSERT_NE(caption, nullptr);
  EXPECT_STREQ(caption(), "hello");

  plug_->NoteOn();
  const struct {
    int32_t value;
    float level;
  } cases[] = {{256, 0.25f}, {512, 0.5f}, {1024, 1.0f}, {0, 0.0f}};
  for (const auto& c : cases) {
    plug_->SetParam(0, c.value);
    // Read back from the plug-in's own answer, then seen in its output.
    EXPECT_EQ(plug_->GetParam(0), c.value);
    const std::vector<uint32_t> pixels = Frame();
    EXPECT_TRUE(ColorNear(At(pixels, 3, 2), Grey(c.level), 2)) << c.value;
    EXPECT_TRUE(ColorNear(At(pixels, 12, 9), Grey(c.level), 2)) << c.value;
  }
}

TEST_F(FreeFrameCPlugin, AnswersWithGarbageInTheirUpperHalfAreAccepted) {
  ASSERT_NO_FATAL_FAILURE(Make("TGRB"));  // found only if the capability and initialise answers passed
  ASSERT_EQ(plug_->GetNumParams(), 1);
  EXPECT_EQ(plug_->GetParamInfo(0)->defaultValue, 256);
  ASSERT_TRUE(plug_->CreateDeviceObjects());
  plug_->SetParam(0, 768);
  EXPECT_EQ(plug_->GetParam(0), 768);
  // Its failed display answer is a failure, not a pointer.
  EXPECT_EQ(Shown(0, 768), "0.750");

  plug_->NoteOn();
  const std::vector<uint32_t> pixels = Frame();
  auto frames = Export<int (*)()>("high_garbage", "highGarbageFrames");
  ASSERT_NE(frames, nullptr);
  EXPECT_EQ(frames(), 1);
  EXPECT_TRUE(ColorNear(At(pixels, 3, 2), Grey(0.75f), 2));
}

TEST_F(FreeFrameCPlugin, NullInstanceIsRefused) {
  ASSERT_NO_FATAL_FAILURE(Make("TNUL"));
  EXPECT_FALSE(plug_->CreateDeviceObjects());
  EXPECT_FALSE(AsFreeFrame(plug_)->Instantiated());
  plug_->NoteOn();
  const std::vector<uint32_t> pixels = Frame();
  EXPECT_TRUE(ColorNear(At(pixels, 3, 2), 0xFF00FF00, 0));  // only the clear
  plug_->SetParam(0, 100);
  EXPECT_EQ(plug_->GetParam(0), 100);
  EXPECT_EQ(Shown(0, 512), "0.500");
  plug_.reset();
  // No call ever named the null instance (the device fixture checks at
  // tear-down that the source and textures were released).
  auto calls = Export<int (*)()>("null_instance", "nullInstanceCalls");
  ASSERT_NE(calls, nullptr);
  EXPECT_EQ(calls(), 0);
}

TEST_F(FreeFrameCPlugin, FullLengthNamesAtTheEndOfReadableMemory) {
  lv::PlugDesc* kind = registry_.FindPlugKind(TestClassId("TEDG"));
  ASSERT_NE(kind, nullptr);
  EXPECT_STREQ(kind->GetName(), "SixteenCharName!");
  ASSERT_NO_FATAL_FAILURE(Make("TEDG"));
  EXPECT_STREQ(plug_->GetParamInfo(0)->name, "ParameterNameXYZ");
  ASSERT_TRUE(plug_->CreateDeviceObjects());
  EXPECT_EQ(Shown(0, 512), "DisplayText16chr");
}

}  // namespace
