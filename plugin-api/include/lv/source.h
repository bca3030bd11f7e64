#pragma once
// A video source instance, opened by a plug-in through the host and owned by
// that plug-in. The order of the operations is binding.
#include <cstdint>

#include "lv/instance_base.h"
#include "lv/source_info.h"

namespace lv {

class Source : public InstanceBase {
 public:
  // Unused query; false in every source.
  virtual bool Reserved3() { return false; }
  // True while the source can carry a note held past its key (AVI file and
  // frame-buffer sources); asked after every Advance.
  virtual bool CanHoldNote() { return false; }
  virtual bool Reserved5() { return true; }
  virtual bool Reserved6() { return true; }
  virtual bool Reserved7() { return true; }

  // Option bytes whose meaning each kind defines (a kind may ignore one):
  // 0 looped playback, 1 the AVI file source's sound, 2 power-of-two texture
  // (passed before Open). Each answers the value.
  virtual uint8_t SetOption0(uint8_t value) = 0;
  virtual uint8_t SetOption1(uint8_t value) = 0;
  virtual uint8_t SetOption2(uint8_t value) = 0;

  // False when the source cannot be opened.
  virtual bool Open(const char* name) = 0;
  // Fills `info` and answers true; false leaves it untouched.
  virtual bool GetInfo(SourceInfo* info) = 0;
  virtual uint8_t GetOption() { return 0; }
  // 0-127 where the source has sound; pan 64 is the centre.
  virtual void SetVolume(int32_t volume) = 0;
  virtual void SetPan(int32_t pan) = 0;

  // A showing plug-in starts using the source at note on (then Advance(0)).
  virtual bool Attach(uint8_t velocity) = 0;
  // The texture of the current frame.
  virtual gfx::Texture* GetTexture() = 0;
  // The rectangle to sample: left u, top v, right u, bottom v.
  virtual const float* GetTexelOffset() = 0;
  // The plug-in stops using it (note off).
  virtual void Detach() = 0;
  virtual void ReleaseDeviceObjects() = 0;
  // Back to the first frame.
  virtual void Restart() = 0;
  // Advances playback time; false when playback cannot go on. `wrapped` is
  // set when it went round to the start, `newFrame` when the frame changed.
  virtual bool Advance(uint32_t milliseconds, bool* wrapped, bool* newFrame) = 0;
};

}  // namespace lv
