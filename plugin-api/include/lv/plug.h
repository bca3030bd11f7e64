#pragma once
// A plug-in instance. The order of the operations is binding across the
// library boundary; the host reads and writes velocity, channel and
// channelMask directly, in this order and with these widths, before any
// field of a derived class.
#include <cstdint>

#include "lv/chunk_stream.h"
#include "lv/instance_base.h"
#include "lv/param_info.h"

namespace lv {

class Plug : public InstanceBase {
 public:
  // Video inputs; the name of input i is its source's name (or null).
  virtual int32_t GetNumInputs() = 0;
  virtual const char* GetInputName(int32_t i) = 0;
  virtual void SetInputName(int32_t i, const char* name) = 0;

  // True when the instance is ready to render.
  virtual bool CreateDeviceObjects() = 0;
  virtual void ReleaseDeviceObjects() = 0;
  // The settings dialog; false means the patch cannot be used.
  virtual bool Configure(WindowHandle owner) = 0;

  // Reads velocity and channel, which the host wrote just before.
  virtual void NoteOn() = 0;
  virtual void NoteOff() = 0;
  // `milliseconds` since the previous frame (the fixed step during playback).
  virtual void Render(uint32_t milliseconds) = 0;
  // True keeps the instance playing after its key is up.
  virtual bool KeepAfterNoteOff() = 0;

  // Load reads chunks until the end marker, skipping unknown tags; Save
  // writes complete chunks and ends them with WriteEnd.
  virtual bool Load(ChunkStream* stream) = 0;
  virtual bool Save(ChunkStream* stream) = 0;

  virtual int32_t GetNumParams() = 0;
  virtual bool IsParamEnabled(int32_t i) = 0;
  virtual const ParamInfo* GetParamInfo(int32_t i) = 0;
  virtual int32_t GetParam(int32_t i) = 0;
  // Also called from the user-interface thread while rendering: parameters
  // are plain values read afresh each frame.
  virtual void SetParam(int32_t i, int32_t value) = 0;

  // Written by the host (velocity and channel just before NoteOn).
  uint8_t velocity = 0;
  uint8_t channel = 0;
  // Bit c set while the instance's bank is the current bank of MIDI channel c.
  uint16_t channelMask = 0;
};

}  // namespace lv
