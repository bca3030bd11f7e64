#include "midi/midi_class.h"

#include <strings.h>

#include "performer/performer.h"
#include "platform/sys/log.h"

namespace lv {

MidiClass::MidiClass(std::unique_ptr<midi::InputSystem> system) : system_(std::move(system)) {}

MidiClass::~MidiClass() { Close(); }

void MidiClass::Init() {
  sys::Log("MidiClass::Init");
  names_.clear();
  if (system_) {
    for (std::string name : system_->DeviceNames()) {
      if (name.size() > kMaxNameLength) name.resize(kMaxNameLength);
      names_.push_back(std::move(name));
    }
  }
  sys::Log("NumDevs : %d", Count());
  if (!system_ || names_.empty()) sys::Log("No MIDI input devices");
  for (int i = 0; i < Count(); ++i) sys::Log("Device %d: %s", i, names_[static_cast<size_t>(i)].c_str());
}

int MidiClass::FindDevice(const char* name) const {
  if (name == nullptr) return -1;
  for (int i = 0; i < Count(); ++i)
    if (strcasecmp(names_[static_cast<size_t>(i)].c_str(), name) == 0) return i;
  return -1;
}

bool MidiClass::Open(const char* name, Performer* performer) {
  Close();
  performer_ = performer;
  int index = FindDevice(name);
  if (index < 0) index = 0;
  if (!system_ || index >= Count()) return false;
  std::string error;
  port_ = system_->Open(
      index, [this](uint32_t message, uint32_t timeMs) { OnMessage(kData, message, timeMs); }, &error);
  if (!port_) {
    sys::Log("MIDI device %d could not be opened: %s", index, error.c_str());
    return false;
  }
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
