#pragma once
// The program's objects, built in their fixed order and destroyed in the
// reverse, its two top-level windows, and the start-up and shutdown that
// tie them together.
#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/audio/sound_device.h"

#include "app/output_window_commands.h"
#include "capture/capture_manager.h"
#include "kinds/source_kind_registrar.h"
#include "sampler/sampler.h"
#include "show/program_show.h"
#include "app/exit_watch.h"
#include "app/program_lifecycle.h"
#include "audio/engine_audio_input.h"
#include "display/d3d.h"
#include "display/display_environment.h"
#include "display/display_frame_device.h"
#include "display/set_display.h"
#include "display_control.h"
#include "files/recent_files.h"
#include "files/settings_file.h"
#include "floating_preview/floating_preview.h"
#include "host/lorvane_host.h"
#include "host_system_facts.h"
#include "lorvane_display_host.h"
#include "main_dialog/engine_capture_commands.h"
#include "main_dialog/main_dialog.h"
#include "midi/midi_class.h"
#include "midi_input_control.h"
#include "options_sheet_control.h"
#include "output_window.h"
#include "performer/performer.h"
#include "platform/audio/wave_in.h"
#include "project_files.h"
#include "recent_projects.h"
#include "registry/plug_registry.h"
#include "registry/plugin_libraries.h"
#include "registry_kinds.h"
#include "render/device_frame_grabber.h"
#include "render/render_controller.h"
#include "render/dialog_compressor_chooser.h"
#include "render/window_render_prompts.h"
#include "settings_defaults.h"
#include "title_window/title_window.h"
#include "work_buffer_names.h"
#include "workbuffers/work_buffer.h"
#include "workbuffers/work_buffer_kind.h"

namespace app {

class Program final : public lv::StartupSteps, public lv::DisplayEnvironment {
 public:
  Program();
  ~Program() override;

  // Creates the windows and starts every subsystem; false when the main
  // dialog cannot be made.
  bool InitInstance();
  // From the main dialog's close, once it is decided: what the performer
  // keeps is written and the render thread stopped within its bound; a
  // render thread that does not end ends the process here.
  void BeginShutdown();
  // From the main dialog's close, after its performance is gone.
  void Shutdown();
  // Asks the main dialog to close, as its close button does.
  void Close();
  // Bounds the program's end, once asked for.
  lv::ExitWatch& Exits() { return exitWatch_; }

  // StartupSteps
  void ConnectHost() override;
  void LoadRecentFiles() override;
  void LoadSettings() override;
  const char* SettingsMidiDevice() override { return settings_.MidiDevice(); }
  void ShowCursor(bool show) override;
  void LoadPlugins() override;
  void ScanFreeFrameFolder() override;
  void OpenSoundOutput() override;
  bool StartCaptureManager() override;
  void OpenAudioInput() override;
  void RegisterClipboardFormat() override {}
  void SaveSettings() override;
  void FinishRender() override { render_.FinishFile(); }
  void CloseAudioInput() override;
  void ReleaseCaptureDevices() override;
  void UnloadFreeFrame() override;
  void FreePluginLibraries() override;
  void ReleaseSound() override;

  // DisplayEnvironment
  gfx::NativeWindow FullScreenWindow() override;
  gfx::NativeWindow WindowedOutput() override;
  void ShowFullScreenWindow(const lv::DisplayRequest& request) override;
  void HideFullScreenWindow() override;
  void ActivateMainDialog() override;
  void ReleaseCaptureSurfaces() override { show_.ReleaseSurfaces(); }
  void RestoreCaptureSurfaces() override { show_.RestoreSurfaces(); }
  void ReportModeUnavailable(const lv::DisplayRequest& request) override;
  void FatalDisplayError(int code) override;

 private:
  void CreateMainDialog();
  void FitOutputArea();
  // Tells the user, once per pass that does not end, that the render thread
  // is not responding and in which patch; the actions that need it are refused.
  void ReportRenderThreadNotResponding();
  void PresentAgain();
  // Any thread: a device went away with the server that carried it. The
  // devices of one server go together, so they are told in one message.
  void NoteDeviceLost(std::string what);
  void TellLostDevices();
  int AdapterCount() const;
  // The main dialog's controls and their places, for the layout check of
  // the end-to-end tests (LV_DUMP_GEOMETRY names the file).
  void DumpGeometry(const std::string& path) const;
  void DumpOptionsGeometry(const ui::OptionsSheet& sheet, const std::string& path) const;

  // Made first and destroyed last, so it also watches the destructors: the
  // wait for the render thread, with time for the steps after it.
  lv::ExitWatch exitWatch_{lv::Performer::kStopWaitMs + 3000};
  // In the order the program builds them.
  lv::WorkBufferTable workBuffers_;
  lv::Performer performer_;
  lv::LorvaneHost& host_ = lv::TheLorvaneHost();
  lv::RecentFiles& recentFiles_ = lv::TheRecentFiles();
  lv::Settings& settings_ = lv::TheSettings();
  lv::PlugRegistry& registry_ = lv::ThePlugRegistry();
  RegistrySourceKinds sourceKinds_{registry_};
  lv::PluginLibraries libraries_;
  lv::D3D d3d_;
  // Capture devices (made at start-up) and samplers, with the source kinds
  // they register.
  builtin::RegistryRegistrar<lv::PlugRegistry> showKinds_{registry_};
  std::unique_ptr<builtin::CaptureManager> captures_;
  builtin::SamplerBank& samplers_ = builtin::TheSamplerBank();
  builtin::ProgramShow show_{samplers_, &performer_.FrameLock()};
  lv::MidiClass midi_;
  std::unique_ptr<audio::SoundDevice> soundOutput_;
  std::unique_ptr<audio::WaveInDevices> waveInDevices_;
  ::AudioInput audioInput_;
  EngineAudioInput engineAudio_{audioInput_};
  lv::DeviceFrameGrabber frameGrabber_;
  LorvaneDisplayHost displayHost_{host_, [this](gfx::Device* device) { frameGrabber_.SetDevice(device); }};
  lv::DisplayFrameDevice frameDevice_{d3d_, workBuffers_, displayHost_};
  lv::DisplaySwitch display_{d3d_, performer_, workBuffers_, displayHost_, *this};
  lv::ProgramLifecycle lifecycle_{*this, performer_, d3d_, display_, midi_};

  lv::WindowRenderPrompts renderPrompts_;
  lv::DialogCompressorChooser compressorChooser_;
  lv::RenderController render_{performer_, renderPrompts_, compressorChooser_};

  // What the main dialog's commands reach.
  RegistryPluginKinds pluginKinds_{registry_};
  ProjectFiles projectFiles_{registry_, [this] { return AdapterCount(); }, performer_};
  RecentProjects recentProjects_{recentFiles_};
  SettingsDefaults settingsDefaults_{settings_, [this] { return AdapterCount(); }};
  DisplayControl displayControl_{display_};
  MidiInputControl midiControl_{midi_, performer_};
  ui::EngineCaptureCommands captureCommands_{performer_, &render_};
  HostSystemFacts systemFacts_{host_};
  WorkBufferNames workBufferNames_{workBuffers_};
  OptionsSheetControl optionsSheet_{performer_, settings_, midi_, d3d_, captures_, samplers_};

  std::unique_ptr<lv::OutputWindowCommands> commands_;
  std::unique_ptr<OutputWindow> outputWindow_;
  std::unique_ptr<ui::MainDialog> mainDialog_;
  OutputSurface* outputArea_ = nullptr;  // inside the main dialog
  std::unique_ptr<ui::FloatingPreview> preview_;
  OutputSurface* floatingSurface_ = nullptr;  // inside the floating preview while it is shown
  // Where the windowed picture goes when it is handed over; read by every
  // present and replaced only under the D3D lock.
  std::atomic<OutputSurface*> windowedSurface_{nullptr};
  std::unique_ptr<ui::TitleWindow> title_;
  bool shutDown_ = false;
  bool fullScreenShown_ = false;
  bool presentAgainQueued_ = false;  // a present retried while a pass held the D3D lock

  std::mutex lostMutex_;
  std::vector<std::string> lostDevices_;  // not yet told
  bool lostNoticePending_ = false;
};

}  // namespace app
