#pragma once
// A source kind ("Rec:") whose instances write down the calls they get.
#include <string>
#include <vector>

#include "lv/source.h"
#include "lv/source_desc.h"

namespace lvtest {

struct RecordingLog {
  std::vector<std::string> calls;
  bool advances = true;
  bool wraps = false;
  bool holds = true;
  bool tellsInfo = true;
  int destroyed = 0;
};

class RecordingSource final : public lv::Source {
 public:
  explicit RecordingSource(RecordingLog& log) : log_(log) {}
  ~RecordingSource() override { ++log_.destroyed; }
  int32_t GetKind() override { return 1; }
  const lv::ClassId* GetClassId() override { return nullptr; }
  bool CanHoldNote() override { return log_.holds; }
  uint8_t SetOption0(uint8_t v) override { return Note("option0 " + std::to_string(v)), v; }
  uint8_t SetOption1(uint8_t v) override { return v; }
  uint8_t SetOption2(uint8_t v) override { return v; }
  bool Open(const char*) override { return true; }
  bool GetInfo(lv::SourceInfo* info) override {
    if (!log_.tellsInfo) return false;
    *info = {};
    info->width = 4;
    info->height = 4;
    return true;
  }
  void SetVolume(int32_t v) override { Note("volume " + std::to_string(v)); }
  void SetPan(int32_t v) override { Note("pan " + std::to_string(v)); }
  bool Attach(uint8_t v) override { return Note("attach " + std::to_string(v)), true; }
  gfx::Texture* GetTexture() override { return nullptr; }
  const float* GetTexelOffset() override { return rect_; }
  void Detach() override { Note("detach"); }
  void ReleaseDeviceObjects() override {}
  void Restart() override { Note("restart"); }
  bool Advance(uint32_t ms, bool* wrapped, bool* newFrame) override {
    Note("advance " + std::to_string(ms));
    *wrapped = log_.wraps;
    *newFrame = true;
    return log_.advances;
  }

 private:
  void Note(std::string call) { log_.calls.push_back(std::move(call)); }
  RecordingLog& log_;
  float rect_[4] = {0.125f, 0.125f, 1.125f, 1.125f};
};

class RecordingKind final : public lv::SourceDesc {
 public:
  explicit RecordingKind(RecordingLog& log) : log_(log) {}
  int32_t GetKind() override { return 1; }
  const lv::ClassId* GetClassId() override { return nullptr; }
  const char* GetCategory() override { return "Test"; }
  const char* GetName() override { return "Rec"; }
  const char* GetDescription() override { return "Rec"; }
  lv::Source* Create() override { return new RecordingSource(log_); }
  bool IsFileBased() override { return false; }
  bool IsAnimated() override { return true; }
  int32_t NumExtensions() override { return 0; }
  const char* Extension(int32_t) override { return nullptr; }
  const char* GetPrefix() override { return "Rec"; }

 private:
  RecordingLog& log_;
};

}  // namespace lvtest
