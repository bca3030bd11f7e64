#pragma once
// The program's start-up and shutdown: every subsystem in a fixed order,
// each step logged, and shutdown in the reverse order. The steps that belong
// to other parts of the program (files, plug-in libraries, sound, capture,
// audio input, clipboard) are reached through StartupSteps, which the
// program implements and tests record.
#include <cstdint>
#include <string>

namespace lv {

class D3D;
class DisplaySwitch;
class MidiClass;
class Performer;

class StartupSteps {
 public:
  virtual ~StartupSteps() = default;
  // The host object learns the program's module and the main dialog.
  virtual void ConnectHost() = 0;
  virtual void LoadRecentFiles() = 0;
  virtual void LoadSettings() = 0;
  // The MIDI device the settings name (null: none).
  virtual const char* SettingsMidiDevice() = 0;
  virtual void ShowCursor(bool show) = 0;
  virtual void LoadPlugins() = 0;
  virtual void ScanFreeFrameFolder() = 0;
  virtual void OpenSoundOutput() = 0;
  // False when the capture manager cannot be made.
  virtual bool StartCaptureManager() = 0;
  virtual void OpenAudioInput() = 0;
  virtual void RegisterClipboardFormat() = 0;

  virtual void SaveSettings() = 0;
  // An offline render in progress finished with its index, without waiting
  // for the render thread.
  virtual void FinishRender() = 0;
  virtual void CloseAudioInput() = 0;
  virtual void ReleaseCaptureDevices() = 0;
  virtual void UnloadFreeFrame() = 0;
  // Closes every plug-in library and empties the registry.
  virtual void FreePluginLibraries() = 0;
  virtual void ReleaseSound() = 0;
};

class ProgramLifecycle {
 public:
  // A display that fails for good ends the program through the first half
  // of shutdown, as every other end does.
  ProgramLifecycle(StartupSteps& steps, Performer& performer, D3D& d3d, DisplaySwitch& display, MidiClass& midi);

  // False when the display could not be set up (the program then ends).
  bool Startup();
  // The first half of shutdown, which waits for nothing but the render
  // thread, and for that within the bound: no display set up from here on,
  // MIDI input closed, the settings saved, a recording and an offline render
  // finished, then the render thread stopped (the performance goes with it).
  // Runs once; true when the render thread ended.
  bool BeginShutdown();
  // Begins the shutdown if that has not been done, then releases the rest.
  // True when everything was released; false when the render thread did not
  // end and what it may still touch was left in place (the audio input, the
  // capture devices, FreeFrame and the plug-in libraries, the device): the
  // process must then end without the destructors of those.
  bool Shutdown();
  // How long shutdown waits for the render thread.
  void SetStopWait(uint32_t ms) { stopWaitMs_ = ms; }

 private:
  uint32_t stopWaitMs_ = 5000;
  bool begun_ = false;
  bool renderThreadEnded_ = false;
  StartupSteps& steps_;
  Performer& performer_;
  D3D& d3d_;
  DisplaySwitch& display_;
  MidiClass& midi_;
};

}  // namespace lv
