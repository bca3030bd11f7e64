#include <RtMidi.h>

#include <cstdlib>
#include <filesystem>

#include <unistd.h>

#include "platform/jack/server_watch.h"
#include "platform/midi/message_handover.h"
#include "platform/midi/midi_input.h"
#include "platform/midi/midi_log.h"
#include "platform/midi/short_message.h"

namespace midi {
namespace {

constexpr const char* kClientName = "Lorvan GPU";

// Probing an API that is absent makes the libraries print to the console,
// so each is only asked for when its system is there.
bool AlsaSequencerPresent() { return access("/dev/snd/seq", R_OK | W_OK) == 0; }

// The server a client would join: JACK_DEFAULT_SERVER names it, as libjack reads it.
bool JackServerRunning() {
  const char* server = std::getenv("JACK_DEFAULT_SERVER");
  const std::string prefix =
      std::string("jack_") + (server != nullptr && *server != '\0' ? server : "default") + "_" +
      std::to_string(getuid()) + "_";
  std::error_code code;
  for (const auto& entry : std::filesystem::directory_iterator("/dev/shm", code)) {
    if (entry.path().filename().string().rfind(prefix, 0) == 0) return true;
  }
  return false;
}

bool ApiCompiled(RtMidi::Api api) {
  std::vector<RtMidi::Api> apis;
  RtMidi::getCompiledApi(apis);
  for (RtMidi::Api compiled : apis)
    if (compiled == api) return true;
  return false;
}

// Errors are read from here after each call instead of being thrown or
// printed.
void KeepError(RtMidiError::Type type, const std::string& text, void* userData) {
  if (type != RtMidiError::WARNING && type != RtMidiError::DEBUG_WARNING)
    *static_cast<std::string*>(userData) = text;
}

struct Device {
  RtMidi::Api api;
  std::string portName;  // as the API names it, to find the port again
  std::string name;      // as listed
};

class RtMidiInputPort final : public InputPort {
 public:
  RtMidiInputPort(RtMidi::Api api, ShortMessageHandler handler)
      // A JACK port is watched from before its client joins the server.
      : joined_(api == RtMidi::UNIX_JACK ? std::make_unique<jack::JoinedServer>() : nullptr),
        life_(joined_ ? joined_->life() : 0),
        handover_(std::make_unique<MessageHandover>(std::move(handler))),
        input_(std::make_unique<RtMidiIn>(api, kClientName)) {
    input_->setErrorCallback(&KeepError, &error_);
  }

  ~RtMidiInputPort() override {
    if (lostTicket_ != 0) jack::ServerWatch::Instance().Forget(lostTicket_);
    handover_->Stop();
    if (life_ != 0 && jack::ServerWatch::Instance().Lost(life_)) {
      // Every call into a client of a dead JACK server may crash in libjack
      // (closing the port unregisters it there), and its process thread has
      // ended, so the input and the hand-over it calls are left as they are.
      Log("MIDI input: the JACK server has gone; its client is left unclosed");
      (void)input_.release();
      (void)handover_.release();
      return;
    }
    // The driver thread ends with input_, before the hand-over it calls goes.
    input_.reset();
  }

  RtMidiIn& Input() { return *input_; }

  bool OpenPort(unsigned index, std::string* reason) {
    input_->setCallback(&RtMidiInputPort::OnMessage, handover_.get());
    // Only short messages are wanted: long system-exclusive data is not read.
    input_->ignoreTypes(true, false, false);
    input_->openPort(index, "Input");
    if (input_->isPortOpen()) return true;
    *reason = error_.empty() ? "the port did not open" : error_;
    return false;
  }

  void Start() override { handover_->Start(); }
  void Stop() override { handover_->Stop(); }

  void OnLost(std::function<void()> lost) override {
    if (life_ != 0 && lostTicket_ == 0) lostTicket_ = jack::ServerWatch::Instance().OnLost(life_, std::move(lost));
  }

  Counts Counted() const override { return handover_->Counted(); }

 private:
  // On the driver's real-time thread: stamped and queued, nothing more.
  static void OnMessage(double /*deltaSeconds*/, std::vector<unsigned char>* bytes, void* handover) {
    static_cast<MessageHandover*>(handover)->Receive(bytes->data(), bytes->size());
  }

  // First, so that the watch is released after the input's client closed.
  std::unique_ptr<jack::JoinedServer> joined_;
  jack::ServerLife life_;  // 0 for other APIs
  std::unique_ptr<MessageHandover> handover_;
  std::string error_;  // the last error RtMidi reported
  std::unique_ptr<RtMidiIn> input_;
  uint64_t lostTicket_ = 0;
};

class RtMidiInputSystem final : public InputSystem {
 public:
  std::vector<std::string> DeviceNames() override {
    devices_.clear();
    listed_ = true;
    if (AlsaSequencerPresent()) AddPorts(RtMidi::LINUX_ALSA);
    if (ApiCompiled(RtMidi::UNIX_JACK) && JackServerRunning()) AddPorts(RtMidi::UNIX_JACK);
    std::vector<std::string> names;
    for (const Device& device : devices_) names.push_back(device.name);
    return names;
  }

  std::unique_ptr<InputPort> Open(int index, ShortMessageHandler handler, std::string* error) override {
    if (index < 0 || index >= static_cast<int>(devices_.size())) {
      if (error) *error = "there is no MIDI input device " + std::to_string(index);
      return nullptr;
    }
    const Device& device = devices_[static_cast<size_t>(index)];
    std::string reason;
    try {
      auto port = std::make_unique<RtMidiInputPort>(device.api, std::move(handler));
      int found = FindPort(port->Input(), device);
      if (found < 0) {
        if (error) *error = "the MIDI input device \"" + device.name + "\" is no longer there";
        return nullptr;
      }
      if (port->OpenPort(static_cast<unsigned>(found), &reason)) return port;
    } catch (const RtMidiError& failure) {
      reason = failure.getMessage();
    }
    if (error) *error = "cannot open the MIDI input device \"" + device.name + "\": " + reason;
    return nullptr;
  }

  std::unique_ptr<InputPort> OpenByName(const std::string& name, ShortMessageHandler handler,
                                        std::string* error) override {
    if (!listed_) DeviceNames();
    for (size_t i = 0; i < devices_.size(); ++i)
      if (devices_[i].name == name) return Open(static_cast<int>(i), std::move(handler), error);
    if (error) *error = "there is no MIDI input device \"" + name + "\"";
    return nullptr;
  }

 private:
  void AddPorts(RtMidi::Api api) {
    std::string reason;
    try {
      RtMidiIn lister(api, kClientName);
      lister.setErrorCallback(&KeepError, &reason);
      const unsigned count = lister.getPortCount();
      for (unsigned i = 0; i < count; ++i) {
        std::string portName = lister.getPortName(i);
        if (!portName.empty()) devices_.push_back({api, portName, DeviceNameFromPort(portName)});
      }
    } catch (const RtMidiError&) {
      // A MIDI system that can't be reached has no devices.
    }
  }

  static int FindPort(RtMidiIn& input, const Device& device) {
    const unsigned count = input.getPortCount();
    for (unsigned i = 0; i < count; ++i)
      if (input.getPortName(i) == device.portName) return static_cast<int>(i);
    // The address part of an ALSA name changes when a device is plugged in again.
    for (unsigned i = 0; i < count; ++i)
      if (DeviceNameFromPort(input.getPortName(i)) == device.name) return static_cast<int>(i);
    return -1;
  }

  std::vector<Device> devices_;
  bool listed_ = false;
};

}  // namespace

std::unique_ptr<InputSystem> CreateInputSystem() { return std::make_unique<RtMidiInputSystem>(); }

}  // namespace midi
