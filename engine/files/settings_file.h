#pragma once
// The program's defaults for new performances and the FreeFrame folder,
// kept in "Lorvane.cfg" beside the program as a chunk list. Its field widths
// are its own (two-byte resolutions, where project files use four).
// User-interface thread only.
#include <cstdint>
#include <string>

#include "files/program_folder.h"
#include "performance/owned_text.h"
#include "performance/performance.h"
#include "performance/performance_settings.h"

namespace lv {

class Settings {
 public:
  static constexpr int kMaxFreeFramePathLength = 511;

  // Replaces the kept file name, then Read.
  void Load(const char* fileName);
  // Reads the file into the record; a missing file leaves the values and a
  // damaged one stops at its first incomplete chunk.
  void Read();
  // Writes the whole record; false when the file could not be written whole
  // (the old one is then kept).
  bool Save() const;
  // Keeps a copy of `name`; null: none.
  void SetMidiDevice(const char* name) { midiDevice_.Set(name); }
  const char* MidiDevice() const { return midiDevice_.Get(); }

  // Where Read and Save go: the kept file name in `folder`; empty when
  // either is.
  std::string Path() const;

  // What a new performance starts from (the device name stays owned here).
  PerformanceSettings ForNewPerformance() const;
  // Takes the performance's options as the new defaults.
  void TakeFrom(const Performance& performance);

  std::string folder = ProgramFolder();
  std::string fileName;
  uint8_t hnot = 1;
  uint8_t npw2 = 1;
  uint8_t hold = 0;
  uint8_t driver = 0;
  uint16_t width = 640;
  uint16_t height = 480;
  uint16_t bits = 32;
  uint16_t refresh = 60;
  uint16_t workBuffers = 0;
  uint16_t channelMask = 0x0001;
  uint8_t hide = 1;
  uint8_t dkpv = 1;
  uint8_t cust = 0;
  std::string freeFramePath = "./FreeFrame";

 private:
  OwnedText midiDevice_;
};

// The program's one record.
Settings& TheSettings();

}  // namespace lv
