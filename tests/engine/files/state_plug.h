#pragma once
// A plug-in kind for the file tests: instances keep a saved state word and
// have parameters with tags, in an order the kind decides.
#include <cstdint>
#include <string>
#include <vector>

#include "lv/plug.h"
#include "lv/plug_desc.h"

namespace lvtest {

class StatePlug : public lv::Plug {
 public:
  static constexpr uint32_t kStateTag = lv::ChunkTag("STAT");

  StatePlug(const lv::ClassId& id, const std::vector<lv::ParamInfo>& params, int* destroyed)
      : id_(id), params_(params), values_(params.size(), 0), destroyed_(destroyed) {
    for (size_t i = 0; i < params_.size(); ++i) values_[i] = params_[i].defaultValue;
  }
  ~StatePlug() override {
    if (destroyed_ != nullptr) ++*destroyed_;
  }

  int32_t GetKind() override { return 1; }
  const lv::ClassId* GetClassId() override { return &id_; }
  int32_t GetNumInputs() override { return 0; }
  const char* GetInputName(int32_t) override { return nullptr; }
  void SetInputName(int32_t, const char*) override {}
  bool CreateDeviceObjects() override { return true; }
  void ReleaseDeviceObjects() override {}
  bool Configure(lv::WindowHandle) override { return true; }
  void NoteOn() override {}
  void NoteOff() override {}
  void Render(uint32_t) override {}
  bool KeepAfterNoteOff() override { return false; }

  // The state word, then a chunk it does not read back (as a newer version
  // of a plug-in would leave for an older one).
  bool Save(lv::ChunkStream* s) override {
    const uint32_t spare = 0xABCD;
    return s->WriteInt32Chunk(kStateTag, &state) && s->WriteUInt32Chunk(lv::ChunkTag("XTRA"), &spare) &&
           s->WriteEnd();
  }
  // With `stopEarly` it returns after its first chunk, leaving the rest of
  // its list to the host.
  bool Load(lv::ChunkStream* s) override {
    while (uint32_t tag = s->NextChunk()) {
      if (tag == kStateTag) s->ReadInt32(&state);
      if (stopEarly) break;
    }
    return true;
  }

  int32_t GetNumParams() override { return int32_t(params_.size()); }
  bool IsParamEnabled(int32_t) override { return true; }
  const lv::ParamInfo* GetParamInfo(int32_t i) override { return &params_[size_t(i)]; }
  int32_t GetParam(int32_t i) override { return values_[size_t(i)]; }
  void SetParam(int32_t i, int32_t value) override { values_[size_t(i)] = value; }

  int32_t state = 0;
  bool stopEarly = false;

 private:
  lv::ClassId id_;
  std::vector<lv::ParamInfo> params_;
  std::vector<int32_t> values_;
  int* destroyed_;
};

class StatePlugKind : public lv::PlugDesc {
 public:
  StatePlugKind(const lv::ClassId& id, std::vector<lv::ParamInfo> params, int32_t kind = 1)
      : id_(id), params_(std::move(params)), kind_(kind) {}

  int32_t GetKind() override { return kind_; }
  const lv::ClassId* GetClassId() override { return &id_; }
  const char* GetCategory() override { return "Test"; }
  const char* GetName() override { return "State"; }
  const char* GetDescription() override { return "keeps a state word"; }
  lv::Plug* Create() override {
    auto* plug = new StatePlug(id_, params_, &destroyed);
    plug->stopEarly = stopEarly;
    return plug;
  }

  int destroyed = 0;
  bool stopEarly = false;

 private:
  lv::ClassId id_;
  std::vector<lv::ParamInfo> params_;
  int32_t kind_;
};

// A parameter of range 0-100, default 10, saved under `tag`.
inline lv::ParamInfo TaggedParam(const char (&tag)[5], const char* name) {
  return {0, 100, 10, 0, lv::ChunkTag(tag), name, nullptr};
}

inline constexpr lv::ClassId kStateKindId{0x51A7E, 7, 8, {1, 2, 3, 4, 5, 6, 7, 8}};
inline constexpr lv::ClassId kOtherKindId{0x07E4, 9, 9, {9, 9, 9, 9, 9, 9, 9, 9}};

}  // namespace lvtest
