#include "portaudio_use.h"

#include <mutex>

#include "platform/audio/audio_log.h"

namespace audio {
namespace {

// PortAudio counts its own initialisations and builds its hosts on the
// first; the users are counted here to know when that happens.
std::mutex useMutex;
int users = 0;
bool leftInitialised = false;  // once the JACK host's server has gone
jack::ServerLife hostLife = 0;  // the server PortAudio's JACK host joined
jack::ServerLife joinedLife = 0;  // the watch's, joined at PortAudio's start

}  // namespace

PortAudioUse::PortAudioUse() {
  std::lock_guard lock(useMutex);
  const bool fresh = users == 0 && !leftInitialised;
  // Joined first, so that a loss after PortAudio's host joins is seen.
  const jack::ServerLife life = fresh ? jack::ServerWatch::Instance().Join() : 0;
  error_ = Pa_Initialize();
  if (error_ != paNoError) {
    jack::ServerWatch::Instance().Release(life);
    return;
  }
  ++users;
  if (fresh) {
    joinedLife = life;
    hostLife = Pa_HostApiTypeIdToHostApiIndex(paJACK) >= 0 ? life : 0;
  }
}

PortAudioUse::~PortAudioUse() {
  if (error_ != paNoError) return;
  std::lock_guard lock(useMutex);
  --users;
  if (leftInitialised || jack::ServerWatch::Instance().Lost(hostLife)) {
    if (!leftInitialised) Log("Audio: the JACK server has gone; PortAudio is left as it is");
    leftInitialised = true;
    return;
  }
  Pa_Terminate();
  if (users == 0) {
    jack::ServerWatch::Instance().Release(joinedLife);
    joinedLife = hostLife = 0;
  }
}

jack::ServerLife PortAudioUse::JackLife(PaDeviceIndex device) {
  const PaDeviceInfo* info = Pa_GetDeviceInfo(device);
  if (info == nullptr) return 0;
  const PaHostApiInfo* host = Pa_GetHostApiInfo(info->hostApi);
  if (host == nullptr || host->type != paJACK) return 0;
  std::lock_guard lock(useMutex);
  return hostLife;
}

bool PortAudioUse::Lost(PaDeviceIndex device) { return jack::ServerWatch::Instance().Lost(JackLife(device)); }

}  // namespace audio
