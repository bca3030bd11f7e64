#pragma once
// The program's MIDI input: lists the system's input devices, opens the one
// named in the settings (or the first), and queues every short message with
// its millisecond stamp in the Performer's ring. Without a MIDI system the
// list is empty and nothing is opened; the computer keyboard still plays.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/midi/midi_input.h"

namespace lv {

class Performer;

class MidiClass {
 public:
  // What reaches OnMessage from the driver.
  enum Message : uint32_t { kOpen, kClose, kData, kLongData, kError, kLongError };

  // `system` may be null (no MIDI system at all).
  explicit MidiClass(std::unique_ptr<midi::InputSystem> system);
  virtual ~MidiClass();
  MidiClass(const MidiClass&) = delete;
  MidiClass& operator=(const MidiClass&) = delete;

  // Lists the devices again (whole names, however long), logging each.
  void Init();
  int Count() const { return static_cast<int>(names_.size()); }
  const std::string& DeviceName(int index) const { return names_[static_cast<size_t>(index)]; }
  // The first device whose name equals `name` ignoring case; else, for a
  // name of the old cut length, the one device whose name begins with it;
  // -1 when none (and for null).
  int FindDevice(const char* name) const;

  // Opens the named device, or device 0 when no device has that name, and
  // starts input into `performer`. False when nothing could be opened.
  bool Open(const char* name, Performer* performer);
  // Stops input and closes the device.
  void Close();
  bool IsOpen() const { return port_ != nullptr; }

  // Called once for an open device that goes away (its JACK server stopped),
  // with the device's name, on a thread of the MIDI system's; the device
  // stays open but silent until Close. Set before Open.
  void SetLostHandler(std::function<void(const std::string&)> lost) { lostHandler_ = std::move(lost); }

  // On the input's delivery thread: data messages go to the Performer's
  // ring, everything else is ignored.
  virtual void OnMessage(uint32_t message, uint32_t param1, uint32_t param2);

 private:
  std::unique_ptr<midi::InputSystem> system_;
  std::vector<std::string> names_;
  std::unique_ptr<midi::InputPort> port_;
  Performer* performer_ = nullptr;
  std::function<void(const std::string&)> lostHandler_;
};

}  // namespace lv
