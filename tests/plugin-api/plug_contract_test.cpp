#include "lv/memory_chunk_stream.h"
#include "lv/plug_desc.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <cstring>
#include <memory>
#include <string>

namespace {

using DescriptorFn = lv::PlugDesc* (*)();
using JournalFn = const char* (*)();
using OffsetsFn = void (*)(lv::Plug*, int32_t[4]);

// The test plug-in library, loaded the way the program loads plug-ins.
class TestPlugLibrary : public ::testing::Test {
 protected:
  void SetUp() override {
    handle_ = dlopen(LV_TEST_PLUG_PATH, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(handle_, nullptr) << dlerror();
    auto descriptor = reinterpret_cast<DescriptorFn>(dlsym(handle_, "TestPlugDescriptor"));
    journal_ = reinterpret_cast<JournalFn>(dlsym(handle_, "TestPlugJournal"));
    offsets_ = reinterpret_cast<OffsetsFn>(dlsym(handle_, "TestPlugFieldOffsets"));
    ASSERT_TRUE(descriptor && journal_ && offsets_);
    desc_ = descriptor();
    Journal();
  }
  void TearDown() override {
    if (handle_) dlclose(handle_);
  }

  std::string Journal() { return journal_(); }

  void* handle_ = nullptr;
  JournalFn journal_ = nullptr;
  OffsetsFn offsets_ = nullptr;
  lv::PlugDesc* desc_ = nullptr;
  int hostObject_ = 0;
  lv::LorvaneInterface* host_ = reinterpret_cast<lv::LorvaneInterface*>(&hostObject_);
};

TEST_F(TestPlugLibrary, DescriptorOperationsRunInTheirOwnSlots) {
  constexpr lv::ClassId kId = {0x1234ABCD, 0x0102, 0x0304, {1, 2, 3, 4, 5, 6, 7, 8}};
  EXPECT_EQ(desc_->GetKind(), 1);
  EXPECT_EQ(*desc_->GetClassId(), kId);
  EXPECT_STREQ(desc_->GetCategory(), "Basic");
  EXPECT_STREQ(desc_->GetName(), "Test Plug");
  EXPECT_STREQ(desc_->GetDescription(), "Notes every call");
  std::unique_ptr<lv::Plug> plug(desc_->Create());
  ASSERT_NE(plug, nullptr);
  EXPECT_EQ(plug->host, nullptr);
  const lv::ClassId* instanceId = plug->GetClassId();
  EXPECT_EQ(*instanceId, kId);
  plug.reset();
  EXPECT_EQ(Journal(),
            "Desc GetKind;Desc GetClassId;Desc GetCategory;Desc GetName;Desc GetDescription;Desc Create;"
            "GetClassId;destroy;");
}

TEST_F(TestPlugLibrary, EveryPlugOperationRunsInItsOwnSlotAndSeesTheHostFields) {
  std::unique_ptr<lv::Plug> plug(desc_->Create());
  plug->host = host_;
  Journal();

  EXPECT_EQ(plug->GetKind(), 1);
  plug->GetClassId();
  EXPECT_EQ(plug->GetNumInputs(), 1);
  plug->SetInputName(0, "clip.avi");
  EXPECT_STREQ(plug->GetInputName(0), "clip.avi");
  EXPECT_TRUE(plug->CreateDeviceObjects());
  plug->channelMask = 1 << 3;
  plug->velocity = 100;
  plug->channel = 3;
  plug->NoteOn();
  plug->Render(16);
  EXPECT_FALSE(plug->KeepAfterNoteOff());
  plug->NoteOff();
  plug->ReleaseDeviceObjects();
  EXPECT_FALSE(plug->Configure(nullptr));
  int owner = 0;
  EXPECT_TRUE(plug->Configure(&owner));
  EXPECT_EQ(plug->GetNumParams(), 2);
  EXPECT_TRUE(plug->IsParamEnabled(0));
  const lv::ParamInfo* level = plug->GetParamInfo(0);
  ASSERT_NE(level, nullptr);
  EXPECT_EQ(level->tag, lv::ChunkTag("LEVL"));
  char text[16];
  level->format(42, text, plug.get(), 0);
  EXPECT_STREQ(text, "42%");
  EXPECT_EQ(plug->GetParam(0), 50);
  plug->SetParam(0, 75);
  EXPECT_EQ(plug->GetParam(0), 75);
  lv::MemoryChunkStream stream;
  stream.Reset();
  EXPECT_TRUE(plug->Save(&stream));
  stream.Seek(0);
  stream.Reset();
  EXPECT_TRUE(plug->Load(&stream));

  EXPECT_EQ(Journal(),
            "GetKind;GetClassId;GetNumInputs;SetInputName 0;GetInputName 0;CreateDeviceObjects host=set;"
            "NoteOn v=100 c=3;Render 16 mask=8;KeepAfterNoteOff;NoteOff;ReleaseDeviceObjects;"
            "Configure owner=null;Configure owner=set;GetNumParams;IsParamEnabled 0;GetParamInfo 0;"
            "GetParam 0;SetParam 0=75;GetParam 0;Save;Load;");
}

TEST_F(TestPlugLibrary, HostFieldsSitWhereTheLibrarySeesThem) {
  std::unique_ptr<lv::Plug> plug(desc_->Create());
  int32_t library[4];
  offsets_(plug.get(), library);
  auto* base = reinterpret_cast<const char*>(plug.get());
  EXPECT_EQ(library[0], reinterpret_cast<const char*>(&plug->host) - base);
  EXPECT_EQ(library[1], reinterpret_cast<const char*>(&plug->velocity) - base);
  EXPECT_EQ(library[2], reinterpret_cast<const char*>(&plug->channel) - base);
  EXPECT_EQ(library[3], reinterpret_cast<const char*>(&plug->channelMask) - base);
  // Table first, then host, then velocity, channel and the 16-bit mask.
  EXPECT_EQ(library[0], int32_t(sizeof(void*)));
  EXPECT_EQ(library[1], library[0] + int32_t(sizeof(void*)));
  EXPECT_EQ(library[2], library[1] + 1);
  EXPECT_EQ(library[3], library[2] + 1);
}

TEST_F(TestPlugLibrary, SavedStateLoadsIntoANewInstanceAndSkipsUnknownChunks) {
  std::unique_ptr<lv::Plug> saved(desc_->Create());
  saved->SetInputName(0, "C:\\Media\\clip.avi");
  lv::MemoryChunkStream out;
  out.Reset();
  ASSERT_TRUE(saved->Save(&out));
  int32_t length = out.Tell();

  // A newer version's chunk in front of the known ones must not matter.
  lv::MemoryChunkStream patched;
  patched.Reset();
  const int32_t extra = 7;
  patched.WriteInt32Chunk(lv::ChunkTag("NEW!"), &extra);
  patched.WriteRaw(out.Buffer(), length);
  std::string bytes(reinterpret_cast<const char*>(patched.Buffer()), size_t(patched.Tell()));

  lv::MemoryChunkStream in;
  in.Attach(bytes.data(), int32_t(bytes.size()));
  std::unique_ptr<lv::Plug> loaded(desc_->Create());
  ASSERT_TRUE(loaded->Load(&in));
  EXPECT_STREQ(loaded->GetInputName(0), "C:\\Media\\clip.avi");
  EXPECT_EQ(in.NextChunk(), 0u);
}

TEST_F(TestPlugLibrary, OnlyTheExportedFunctionsAreVisible) {
  EXPECT_EQ(dlsym(handle_, "_ZN2lv4List6AppendEPNS_8ListNodeE"), nullptr);
  EXPECT_EQ(dlsym(handle_, "_ZN2lv8NameHashEPKc"), nullptr);
}

}  // namespace
