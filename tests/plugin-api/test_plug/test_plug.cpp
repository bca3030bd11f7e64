// A plug-in kind built as its own shared object against the plug-in contract
// alone. Every operation notes its name (and what it saw) in a journal that
// the test host reads back, so a call that lands in the wrong operation shows.
#include <cstdio>
#include <string>

#include "lv/plug_desc.h"
#include "lv/string_class.h"

#define LV_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

std::string journal;

void Note(const std::string& entry) { journal += entry + ";"; }

constexpr lv::ClassId kTestPlugId = {0x1234ABCD, 0x0102, 0x0304, {1, 2, 3, 4, 5, 6, 7, 8}};

void FormatPercent(int32_t value, char* text, lv::Plug*, int32_t) { std::snprintf(text, 16, "%d%%", value); }

const lv::ParamInfo kParams[] = {
    {0, 100, 50, 0, lv::ChunkTag("LEVL"), "Level", FormatPercent},
    {-180, 180, 0, 1, lv::ChunkTag("ANGL"), "Angle", nullptr},
};

class TestPlug final : public lv::Plug {
 public:
  ~TestPlug() override { Note("destroy"); }

  int32_t GetKind() override {
    Note("GetKind");
    return 1;
  }
  const lv::ClassId* GetClassId() override {
    Note("GetClassId");
    return &kTestPlugId;
  }
  int32_t GetNumInputs() override {
    Note("GetNumInputs");
    return 1;
  }
  const char* GetInputName(int32_t i) override {
    Note("GetInputName " + std::to_string(i));
    return i == 0 ? sourceName_.Text() : nullptr;
  }
  void SetInputName(int32_t i, const char* name) override {
    Note("SetInputName " + std::to_string(i));
    if (i == 0) sourceName_.Assign(name);
  }
  bool CreateDeviceObjects() override {
    Note(std::string("CreateDeviceObjects host=") + (host != nullptr ? "set" : "null"));
    return true;
  }
  void ReleaseDeviceObjects() override { Note("ReleaseDeviceObjects"); }
  bool Configure(lv::WindowHandle owner) override {
    Note(std::string("Configure owner=") + (owner != nullptr ? "set" : "null"));
    return owner != nullptr;
  }
  void NoteOn() override { Note("NoteOn v=" + std::to_string(velocity) + " c=" + std::to_string(channel)); }
  void NoteOff() override { Note("NoteOff"); }
  void Render(uint32_t milliseconds) override {
    Note("Render " + std::to_string(milliseconds) + " mask=" + std::to_string(channelMask));
  }
  bool KeepAfterNoteOff() override {
    Note("KeepAfterNoteOff");
    return (options_ & 1) != 0;
  }
  bool Load(lv::ChunkStream* stream) override {
    Note("Load");
    while (uint32_t tag = stream->NextChunk()) {
      if (tag == lv::ChunkTag("FLAG")) {
        stream->ReadUInt32(&options_);
      } else if (tag == lv::ChunkTag("NAME")) {
        int32_t n = stream->BytesLeft();
        std::string name(size_t(n > 0 ? n : 0), '\0');
        if (stream->ReadChunkData(name.data(), n)) sourceName_.Assign(name.c_str());
      }
    }
    return true;
  }
  bool Save(lv::ChunkStream* stream) override {
    Note("Save");
    stream->WriteUInt32Chunk(lv::ChunkTag("FLAG"), &options_);
    if (sourceName_.Text() != nullptr) stream->WriteChunk(lv::ChunkTag("NAME"), sourceName_.Text(), sourceName_.Length() + 1);
    return stream->WriteEnd();
  }
  int32_t GetNumParams() override {
    Note("GetNumParams");
    return 2;
  }
  bool IsParamEnabled(int32_t i) override {
    Note("IsParamEnabled " + std::to_string(i));
    return i == 0 || (options_ & 2) != 0;
  }
  const lv::ParamInfo* GetParamInfo(int32_t i) override {
    Note("GetParamInfo " + std::to_string(i));
    return i >= 0 && i < 2 ? &kParams[i] : nullptr;
  }
  int32_t GetParam(int32_t i) override {
    Note("GetParam " + std::to_string(i));
    return i >= 0 && i < 2 ? params_[i] : 0;
  }
  void SetParam(int32_t i, int32_t value) override {
    Note("SetParam " + std::to_string(i) + "=" + std::to_string(value));
    if (i >= 0 && i < 2) params_[i] = value;
  }

  void SetOptions(uint32_t options) { options_ = options; }

 private:
  uint32_t options_ = 0;
  int32_t params_[2] = {kParams[0].defaultValue, kParams[1].defaultValue};
  lv::StringClass sourceName_;
};

class TestPlugDesc final : public lv::PlugDesc {
 public:
  int32_t GetKind() override {
    Note("Desc GetKind");
    return 1;
  }
  const lv::ClassId* GetClassId() override {
    Note("Desc GetClassId");
    return &kTestPlugId;
  }
  const char* GetCategory() override {
    Note("Desc GetCategory");
    return "Basic";
  }
  const char* GetName() override {
    Note("Desc GetName");
    return "Test Plug";
  }
  const char* GetDescription() override {
    Note("Desc GetDescription");
    return "Notes every call";
  }
  lv::Plug* Create() override {
    Note("Desc Create");
    return new TestPlug;
  }
};

TestPlugDesc descriptor;

}  // namespace

LV_EXPORT lv::PlugDesc* TestPlugDescriptor() { return &descriptor; }

// The calls noted since the last read, then forgotten.
LV_EXPORT const char* TestPlugJournal() {
  static std::string last;
  last = journal;
  journal.clear();
  return last.c_str();
}

// Where the plug-in sees the host-written fields, from its own build.
LV_EXPORT void TestPlugFieldOffsets(lv::Plug* plug, int32_t offsets[4]) {
  auto* base = reinterpret_cast<const char*>(plug);
  offsets[0] = int32_t(reinterpret_cast<const char*>(&plug->host) - base);
  offsets[1] = int32_t(reinterpret_cast<const char*>(&plug->velocity) - base);
  offsets[2] = int32_t(reinterpret_cast<const char*>(&plug->channel) - base);
  offsets[3] = int32_t(reinterpret_cast<const char*>(&plug->channelMask) - base);
}
