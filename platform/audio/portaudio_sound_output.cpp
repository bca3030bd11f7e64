// The program's sound output: the mixer pulled by a PortAudio output stream.
#include <portaudio.h>

#include "platform/audio/audio_log.h"
#include "platform/audio/sound_device.h"

namespace audio {
namespace {

class PortAudioSoundOutput final : public SoundDevice {
 public:
  explicit PortAudioSoundOutput(uint32_t rate) : SoundDevice(rate) {}

  ~PortAudioSoundOutput() override {
    if (stream_) {
      Pa_StopStream(stream_);
      Pa_CloseStream(stream_);
    }
    Pa_Terminate();
  }

  // False with the reason in `error`.
  bool Start(PaDeviceIndex device, std::string* error) {
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

  PaStream* stream_ = nullptr;
};

}  // namespace

std::unique_ptr<SoundDevice> OpenSoundOutput(std::string* error) {
  std::string reason;
  std::unique_ptr<SoundDevice> result;
  PaError e = Pa_Initialize();
  if (e != paNoError) {
    reason = Pa_GetErrorText(e);
  } else {
    const PaDeviceIndex device = Pa_GetDefaultOutputDevice();
    if (device == paNoDevice) {
      reason = "no sound output device";
      Pa_Terminate();
    } else {
      // The device object terminates PortAudio when it goes, also on failure.
      auto output = std::make_unique<PortAudioSoundOutput>(44100);
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
