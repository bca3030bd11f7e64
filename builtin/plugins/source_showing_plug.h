#pragma once
// Display Source and Warp Source: one video source drawn with a volume and a
// pan handed to it, a note held while the source plays on (with the sustain
// option), the erase on note off (PlugClass::kEraseOnNoteOff), a fixed table
// of knobs, and "FLAG", "VOL ", "PAN " and "NAME" as their saved chunks.
#include <cstdint>

#include "lv/chunk_stream.h"
#include "lv/source.h"
#include "platform/window/kit/erase_on_note_off.h"
#include "platform/window/kit/plug_chunks.h"
#include "platform/window/kit/source_name.h"
#include "plugins/builtin_plug.h"

namespace builtin {

template <class PlugClass, int32_t ParamCount>
class SourceShowingPlug : public BuiltinPlug<PlugClass> {
 public:
  int32_t GetNumInputs() override { return 1; }
  const char* GetInputName(int32_t i) override { return sourceName_.InputName(i); }
  void SetInputName(int32_t i, const char* name) override { sourceName_.SetInputName(i, name); }
  void NoteOff() override {
    kit::EraseOnNoteOff(this->host, (this->options_ & PlugClass::kEraseOnNoteOff) != 0, source_);
  }
  bool KeepAfterNoteOff() override { return keep_; }
  bool Load(lv::ChunkStream* stream) override { return kit::LoadFlagNameVolPan(stream, this->host, ChunkFields()); }
  bool Save(lv::ChunkStream* stream) override { return kit::SaveFlagNameVolPan(stream, ChunkFields()); }
  int32_t GetNumParams() override { return ParamCount; }
  const lv::ParamInfo* GetParamInfo(int32_t i) override { return IsParam(i) ? &paramTable_[i] : nullptr; }
  int32_t GetParam(int32_t i) override { return IsParam(i) ? params_[i] : 0; }
  void SetParam(int32_t i, int32_t value) override {
    if (IsParam(i)) params_[i] = value;
  }

  uint8_t Volume() const { return volume_; }
  uint8_t Pan() const { return pan_; }

 protected:
  // The knobs start at their table's defaults.
  SourceShowingPlug(uint32_t options, const lv::ParamInfo (&paramTable)[ParamCount])
      : BuiltinPlug<PlugClass>(options), paramTable_(paramTable) {
    for (int32_t i = 0; i < ParamCount; ++i) params_[i] = paramTable[i].defaultValue;
  }

  static bool IsParam(int32_t i) { return i >= 0 && i < ParamCount; }
  kit::PlugChunkFields ChunkFields() { return {&this->options_, &volume_, &pan_, &sourceName_}; }
  // Closes the source and frees the declaration and the shaders.
  void ReleaseSourceAndDrawing() {
    delete source_;
    source_ = nullptr;
    this->ReleaseDrawingObjects();
  }

  kit::SourceName sourceName_;
  lv::Source* source_ = nullptr;  // owned
  int32_t params_[ParamCount];
  uint8_t volume_ = 127;
  uint8_t pan_ = 64;
  bool keep_ = false;

 private:
  const lv::ParamInfo (&paramTable_)[ParamCount];
};

}  // namespace builtin
