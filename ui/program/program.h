#pragma once
// The program's objects, built in their fixed order and destroyed in the
// reverse, its two top-level windows, and the start-up and shutdown that
// tie them together.
#include <memory>
#include <string>

#include "app/output_window_commands.h"
#include "app/program_lifecycle.h"
#include "display/d3d.h"
#include "display/display_environment.h"
#include "display/display_frame_device.h"
#include "display/display_host_state.h"
#include "display/set_display.h"
#include "interim_plugin_loading.h"
#include "main_dialog.h"
#include "midi/midi_class.h"
#include "output_window.h"
#include "performer/performer.h"
#include "workbuffers/work_buffer.h"

namespace app {

class Program final : public lv::StartupSteps, public lv::DisplayEnvironment {
 public:
  Program();
  ~Program() override;

  // Creates the windows and starts every subsystem; false when the main
  // dialog cannot be made.
  bool InitInstance();
  // From the main dialog's close.
  void Shutdown();

  // StartupSteps
  void ConnectHost() override {}
  void LoadRecentFiles() override;
  void LoadSettings() override;
  const char* SettingsMidiDevice() override { return nullptr; }
  void ShowCursor(bool show) override;
  void LoadPlugins() override;
  void ScanFreeFrameFolder() override {}
  void OpenSoundOutput() override {}
  bool StartCaptureManager() override { return true; }
  void OpenAudioInput() override {}
  void RegisterClipboardFormat() override {}
  void SaveSettings() override;
  void CloseAudioInput() override {}
  void ReleaseCaptureDevices() override {}
  void UnloadFreeFrame() override {}
  void FreePluginLibraries() override;
  void ReleaseSound() override {}

  // DisplayEnvironment
  gfx::NativeWindow FullScreenWindow() override;
  gfx::NativeWindow WindowedOutput() override;
  void ShowFullScreenWindow(const lv::DisplayRequest& request) override;
  void HideFullScreenWindow() override;
  void ActivateMainDialog() override;
  void ReleaseCaptureSurfaces() override {}
  void RestoreCaptureSurfaces() override {}
  void ReportModeUnavailable(const lv::DisplayRequest& request) override;
  void FatalDisplayError(int code) override;

 private:
  void PlayTestPatch();

  // In the order the program builds them.
  lv::WorkBufferTable workBuffers_;
  lv::Performer performer_;
  lv::DisplayHostState host_;
  InterimPluginLibraries libraries_;
  lv::D3D d3d_;
  lv::MidiClass midi_;
  lv::DisplayFrameDevice frameDevice_{d3d_, workBuffers_, host_};
  lv::DisplaySwitch display_{d3d_, performer_, workBuffers_, host_, *this};
  lv::ProgramLifecycle lifecycle_{*this, performer_, d3d_, display_, midi_};
  lv::KeyboardPlay keyboardPlay_{true, 0};
  std::unique_ptr<lv::OutputWindowCommands> commands_;

  std::unique_ptr<OutputWindow> outputWindow_;
  std::unique_ptr<MainDialog> mainDialog_;
  bool shutDown_ = false;
  bool fullScreenShown_ = false;
};

}  // namespace app
