#pragma once
// The open MIDI capture file as the frame loop uses it.
#include <cstdint>

#include "performer/midi_event.h"

namespace lv {

class Performer;

class CaptureFile {
 public:
  virtual ~CaptureFile() = default;
  // Recording: every queued event, and the spectrum after every frame. The
  // Performer calls both under its ring lock.
  virtual void WriteEvent(const MidiEvent& event) = 0;
  virtual void WriteSpectrum(const float* spectrum) = 0;
  // Playback (render thread, start of the pass): pushes into `performer`
  // every event due by `now` ms of the playback clock, in file order. False
  // at the end of the file or at a short record.
  virtual bool Feed(Performer& performer, uint32_t now) = 0;
  // Finishes the file; false when anything written to it was lost.
  virtual bool Close() { return true; }
};

}  // namespace lv
