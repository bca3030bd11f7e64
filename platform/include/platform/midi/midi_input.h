#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace midi {

// Called on the input's delivery thread (never the driver's real-time
// thread) for each short message: the status byte in
// bits 0-7, the first data byte in bits 8-15, the second in bits 16-23; and
// the milliseconds since the input was started.
using ShortMessageHandler = std::function<void(uint32_t message, uint32_t timeMs)>;

// One open MIDI input device. Destroying it stops and closes it.
class InputPort {
 public:
  virtual ~InputPort() = default;
  // Messages reach the handler from now on; time stamps count from here.
  virtual void Start() = 0;
  // No message reaches the handler once this returns.
  virtual void Stop() = 0;

  // Calls `lost` once, on a thread of the MIDI system's, when the device
  // goes away with the server that carried it (a JACK server stopping).
  // Nothing is called once the port is destroyed. Set once, after opening.
  virtual void OnLost(std::function<void()> lost) { (void)lost; }

  struct Counts {
    uint64_t received = 0;  // taken from the driver into the hand-over
    uint64_t lost = 0;      // dropped because the hand-over was full
  };
  virtual Counts Counted() const { return {}; }
};

// The system's MIDI input devices.
class InputSystem {
 public:
  virtual ~InputSystem() = default;
  // Looks the devices up again; a device's index is its place in this list.
  // Empty when the machine has no MIDI system.
  virtual std::vector<std::string> DeviceNames() = 0;
  // Opens device `index` of the last list. Null, with the reason in `error`,
  // when the index is out of range, the device went away or can't be opened.
  virtual std::unique_ptr<InputPort> Open(int index, ShortMessageHandler handler, std::string* error) = 0;
  // Opens the first listed device named exactly `name` (the list is looked
  // up first if it never was). Names are whole, however long.
  virtual std::unique_ptr<InputPort> OpenByName(const std::string& name, ShortMessageHandler handler,
                                                std::string* error) = 0;
};

// The system's MIDI inputs through RtMidi: the ALSA sequencer, and a running
// JACK server's MIDI ports.
std::unique_ptr<InputSystem> CreateInputSystem();

}  // namespace midi
