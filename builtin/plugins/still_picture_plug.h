#pragma once
// ShowBMP and Color Fill: a picture drawn while the key is down. They have
// no knobs, never hold a note past its key, and at note off erase the target
// when PlugClass::kEraseOnNoteOff is set.
#include <cstdint>

#include "platform/window/kit/erase_on_note_off.h"
#include "plugins/builtin_plug.h"

namespace builtin {

template <class PlugClass>
class StillPicturePlug : public BuiltinPlug<PlugClass> {
 public:
  void NoteOff() override {
    kit::EraseOnNoteOff(this->host, (this->options_ & PlugClass::kEraseOnNoteOff) != 0, nullptr);
  }
  bool KeepAfterNoteOff() override { return false; }
  int32_t GetNumParams() override { return 0; }
  bool IsParamEnabled(int32_t) override { return true; }
  const lv::ParamInfo* GetParamInfo(int32_t) override { return nullptr; }
  int32_t GetParam(int32_t) override { return 0; }
  void SetParam(int32_t, int32_t) override {}

 protected:
  using BuiltinPlug<PlugClass>::BuiltinPlug;
};

}  // namespace builtin
