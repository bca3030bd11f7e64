#include "app/program_lifecycle.h"

#include <mutex>

#include "display/d3d.h"
#include "display/set_display.h"
#include "midi/midi_class.h"
#include "modulation/lfo.h"
#include "performer/performer.h"
#include "platform/sys/log.h"

namespace lv {

ProgramLifecycle::ProgramLifecycle(StartupSteps& steps, Performer& performer, D3D& d3d, DisplaySwitch& display,
                                   MidiClass& midi)
    : steps_(steps), performer_(performer), d3d_(d3d), display_(display), midi_(midi) {
  display_.SetBeforeFatalError([this] { BeginShutdown(); });
}

bool ProgramLifecycle::Startup() {
  sys::Log("Startup starting");
  steps_.ConnectHost();
  steps_.LoadRecentFiles();
  steps_.LoadSettings();

  // The window system needs no control classes, COM or video-file library set up.
  sys::Log("Initializing Common Controls");

  sys::Log("Initializing plugins and Performer");
  steps_.ShowCursor(false);
  steps_.LoadPlugins();
  steps_.ScanFreeFrameFolder();
  if (!performer_.Start()) sys::Log("Performer thread could not be started");

  sys::Log("Initializing Direct3D");
  if (!display_.SetDisplay(false)) return false;
  d3d_.GetDriverInfo();

  sys::Log("Initializing DirectSound");
  steps_.OpenSoundOutput();

  sys::Log("Initializing MIDI device");
  midi_.Init();
  midi_.Open(steps_.SettingsMidiDevice(), &performer_);

  sys::Log("Initializing Capture Manager");
  if (!steps_.StartCaptureManager()) sys::Log("Failed to create filter graph");

  steps_.OpenAudioInput();
  {
    // The render thread already runs and advances the LFOs every pass.
    std::lock_guard<sys::CriticalSection> frame(performer_.FrameLock());
    SetDefaultLfos();
  }

  sys::Log("Registering Clipboard Format");
  steps_.RegisterClipboardFormat();
  sys::Log("Startup finished");
  return true;
}

bool ProgramLifecycle::BeginShutdown() {
  if (begun_) return renderThreadEnded_;
  begun_ = true;
  sys::Log("Shutdown starting");
  // A window closed on the way out may ask for the display again.
  display_.EndSwitching();
  // MIDI first, so no driver callback pushes into a Performer that is stopping.
  midi_.Close();
  // What the performer keeps is written before anything waits for the render
  // thread, whose pass may never end (a plug-in stuck in its drawing): a
  // recording's file needs only the ring lock, a render's only its own.
  steps_.SaveSettings();
  if (!performer_.FinishRecording()) sys::Log("The capture recording could not be completed");
  steps_.FinishRender();
  renderThreadEnded_ = performer_.Stop(stopWaitMs_);
  return renderThreadEnded_;
}

bool ProgramLifecycle::Shutdown() {
  const bool ended = BeginShutdown();
  if (ended) {
    steps_.CloseAudioInput();
    steps_.ReleaseCaptureDevices();
    steps_.UnloadFreeFrame();
    steps_.FreePluginLibraries();
  } else {
    // A pass still in progress holds the frame lock, which releasing the
    // capture devices takes, and may be inside the audio input or a
    // FreeFrame plug-in: none of them goes.
    sys::Log("Render thread still running: plug-in libraries, the performance and the device are left in place");
  }
  steps_.ReleaseSound();
  if (ended) d3d_.Shutdown();
  steps_.ShowCursor(true);
  sys::Log("Shutdown finished");
  return ended;
}

}  // namespace lv
