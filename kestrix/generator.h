#pragma once
// What the classes that draw without a video input share: no inputs, and an
// option word saved alone as "FLAG".
#include <cstdint>

#include "lv/plug.h"

namespace kestrix {

class Generator : public lv::Plug {
 public:
  int32_t GetNumInputs() override { return 0; }
  const char* GetInputName(int32_t) override { return nullptr; }
  void SetInputName(int32_t, const char*) override {}
  bool KeepAfterNoteOff() override { return false; }
  bool Load(lv::ChunkStream* stream) override;
  bool Save(lv::ChunkStream* stream) override;

 protected:
  explicit Generator(uint32_t options) : options_(options) {}

  uint32_t options_;
};

}  // namespace kestrix
