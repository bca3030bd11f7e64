#include "midi/midi_class.h"

#include "performer/performer.h"
#include "platform/midi/short_message.h"
#include "platform/sys/log.h"

namespace lv {

MidiClass::MidiClass(std::unique_ptr<midi::InputSystem> system) : system_(std::move(system)) {}

MidiClass::~MidiClass() { Close(); }

void MidiClass::Init() {
  sys::Log("MidiClass::Init");
  names_.clear();
  if (system_) {
    for (std::string name : system_->DeviceNames()) names_.push_back(std::move(name));
  }
  sys::Log("NumDevs : %d", Count());
  if (!system_ || names_.empty()) sys::Log("No MIDI input devices");
  for (int i = 0; i < Count(); ++i) sys::Log("Device %d: %s", i, names_[static_cast<size_t>(i)].c_str());
}

int MidiClass::FindDevice(const char* name) const {
  return name != nullptr ? midi::MatchDeviceName(names_, name) : -1;
}

bool MidiClass::Open(const char* name, Performer* performer) {
  Close();
  performer_ = performer;
  int index = FindDevice(name);
  if (index < 0) index = 0;
  if (!system_ || index >= Count()) {
    sys::Log("MIDI input not opened: no device");
    return false;
  }
  std::string error;
  port_ = system_->Open(
      index, [this](uint32_t message, uint32_t timeMs) { OnMessage(kData, message, timeMs); }, &error);
  if (!port_) {
    sys::Log("MIDI input not opened: device %d: %s", index, error.c_str());
    return false;
  }
  const std::string device = DeviceName(index);
  sys::Log("MIDI input opened: %s", device.c_str());
  port_->OnLost([this, device] {
    sys::Log("Device lost: MIDI input %s", device.c_str());
    if (lostHandler_) lostHandler_(device);
  });
  port_->Start();
  return true;
}

void MidiClass::Close() {
  if (port_) {
    port_->Stop();
    port_.reset();
  }
}

void MidiClass::OnMessage(uint32_t message, uint32_t param1, uint32_t param2) {
  if (message != kData || performer_ == nullptr) return;
  performer_->PushMidi(MidiEvent{param1, param2});
}

}  // namespace lv
