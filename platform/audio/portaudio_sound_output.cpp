// The program's sound output: the mixer pulled by a PortAudio output stream.
#include <portaudio.h>

#include "platform/audio/audio_log.h"
#include "portaudio_use.h"
#include "platform/audio/sound_device.h"

namespace audio {
namespace {

class PortAudioSoundOutput final : public SoundDevice {
 public:
  PortAudioSoundOutput(uint32_t rate, std::unique_ptr<PortAudioUse> use) : SoundDevice(rate), use_(std::move(use)) {}

  ~PortAudioSoundOutput() override {
    // A stream whose JACK server has gone is left open (see PortAudioUse).
    if (stream_ && !PortAudioUse::Lost(device_)) {
      Pa_StopStream(stream_);
      Pa_CloseStream(stream_);
    }
  }

  // False with the reason in `error`.
  bool Start(PaDeviceIndex device, std::string* error) {
    device_ = device;
    PaStreamParameters output{};
    output.device = device;
    output.channelCount = 2;
    output.sampleFormat = paFloat32;
    output.suggestedLatency = Pa_GetDeviceInfo(device)->defaultLowOutputLatency;
    PaError e = Pa_OpenStream(&stream_, nullptr, &output, OutputRate(), paFramesPerBufferUnspecified, paNoFlag,
                              &PortAudioSoundOutput::Callback, this);
    if (e == paNoError) e = Pa_StartStream(stream_);
    if (e != paNoError) {
      *error = Pa_GetErrorText(e);
      return false;
    }
    return true;
  }

 private:
  static int Callback(const void*, void* out, unsigned long frames, const PaStreamCallbackTimeInfo*,
                      PaStreamCallbackFlags, void* self) {
    static_cast<PortAudioSoundOutput*>(self)->Mix(static_cast<float*>(out), static_cast<uint32_t>(frames));
    return paContinue;
  }

  std::unique_ptr<PortAudioUse> use_;  // terminates PortAudio after the stream
  PaDeviceIndex device_ = paNoDevice;
  PaStream* stream_ = nullptr;
};

}  // namespace

std::unique_ptr<SoundDevice> OpenSoundOutput(std::string* error) {
  std::string reason;
  std::unique_ptr<SoundDevice> result;
  auto use = std::make_unique<PortAudioUse>();
  if (!use->ok()) {
    reason = use->ErrorText();
  } else {
    const PaDeviceIndex device = Pa_GetDefaultOutputDevice();
    if (device == paNoDevice) {
      reason = "no sound output device";
    } else {
      // The device object ends its use of PortAudio when it goes, also on failure.
      auto output = std::make_unique<PortAudioSoundOutput>(44100, std::move(use));
      if (output->Start(device, &reason)) result = std::move(output);
    }
  }
  if (!result) {
    Log("Sound output unavailable, playing silently: %s", reason.c_str());
    if (error) *error = reason;
  }
  return result;
}

}  // namespace audio
