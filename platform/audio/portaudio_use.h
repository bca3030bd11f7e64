#pragma once
// One user of PortAudio (the sound output, the wave input's device list).
// PortAudio's JACK host keeps a client of the JACK server that ran when
// PortAudio started. Once that server has gone, terminating PortAudio
// (deactivating that client) or stopping and closing a stream on it calls
// into the dead client, which fails an assertion or crashes inside libjack:
// PortAudio is then left initialised for good, and such streams are left
// open, silent.
#include <portaudio.h>

#include <functional>

#include "platform/jack/server_watch.h"

namespace audio {

class PortAudioUse {
 public:
  PortAudioUse();
  // Terminates PortAudio unless its JACK host's server has gone.
  ~PortAudioUse();
  PortAudioUse(const PortAudioUse&) = delete;
  PortAudioUse& operator=(const PortAudioUse&) = delete;

  bool ok() const { return error_ == paNoError; }
  const char* ErrorText() const { return Pa_GetErrorText(error_); }

  // The life of the JACK server behind `device`; 0 when PortAudio serves it
  // through another host.
  static jack::ServerLife JackLife(PaDeviceIndex device);
  // Whether `device` is served through JACK and that server has gone: no
  // call may reach it any more.
  static bool Lost(PaDeviceIndex device);

 private:
  PaError error_;
};

}  // namespace audio
