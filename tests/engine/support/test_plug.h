#pragma once
// A plug-in kind for the engine's tests: it journals the host's calls as
// "<what>:<name>" and answers as configured.
#include <atomic>
#include <string>
#include <vector>

#include "journal.h"
#include "lv/plug.h"

namespace lvtest {

class TestPlug : public lv::Plug {
 public:
  TestPlug(Journal* journal, std::string name) : journal_(journal), name_(std::move(name)) {}
  ~TestPlug() override {
    if (destroyed != nullptr) ++*destroyed;
  }

  int32_t GetKind() override { return 1; }
  const lv::ClassId* GetClassId() override { return &kClassId; }
  int32_t GetNumInputs() override { return 0; }
  const char* GetInputName(int32_t) override { return nullptr; }
  void SetInputName(int32_t, const char*) override {}
  bool CreateDeviceObjects() override {
    Note("create");
    return createResult;
  }
  void ReleaseDeviceObjects() override { Note("release"); }
  bool Configure(lv::WindowHandle) override { return true; }
  void NoteOn() override {
    Note("on");
    lastVelocity = velocity;
  }
  void NoteOff() override { Note("off"); }
  void Render(uint32_t milliseconds) override {
    if (renderJournal) Note("render");
    lastRenderMs = milliseconds;
  }
  bool KeepAfterNoteOff() override { return keepAfterNoteOff; }
  bool Load(lv::ChunkStream*) override { return true; }
  bool Save(lv::ChunkStream*) override { return true; }
  int32_t GetNumParams() override { return static_cast<int32_t>(params.size()); }
  bool IsParamEnabled(int32_t) override { return true; }
  const lv::ParamInfo* GetParamInfo(int32_t i) override { return &params[static_cast<size_t>(i)]; }
  int32_t GetParam(int32_t i) override { return values[static_cast<size_t>(i)]; }
  void SetParam(int32_t i, int32_t value) override {
    values[static_cast<size_t>(i)] = value;
    ++setParamCalls;
  }

  // Gives the plug-in parameters with these ranges.
  void SetParams(std::vector<lv::ParamInfo> rows) {
    params = std::move(rows);
    values.assign(params.size(), 0);
  }

  static constexpr lv::ClassId kClassId{0x7e57, 1, 2, {3, 4, 5, 6, 7, 8, 9, 10}};

  bool createResult = true;
  std::atomic<bool> keepAfterNoteOff{false};
  bool renderJournal = true;
  uint8_t lastVelocity = 0;
  uint32_t lastRenderMs = 0;
  int setParamCalls = 0;
  int* destroyed = nullptr;
  std::vector<lv::ParamInfo> params;
  std::vector<int32_t> values;

 private:
  void Note(const char* what) {
    if (journal_ != nullptr) journal_->Add(std::string(what) + ":" + name_);
  }

  Journal* journal_;
  std::string name_;
};

}  // namespace lvtest
