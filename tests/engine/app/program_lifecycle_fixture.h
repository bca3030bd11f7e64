#pragma once
// Start-up and shutdown against the program's log, with logging fakes for
// the steps and the MIDI input, and a patch that can hang the render thread.
// Each test program has its own log, so each scenario is a program of its own.
#include "app/program_lifecycle.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <thread>
#include <fstream>
#include <string>
#include <vector>

#include "display/display_frame_device.h"
#include "display/display_host_state.h"
#include "display/set_display.h"
#include "midi/midi_class.h"
#include "performer/performer.h"
#include "platform/sys/log.h"
#include "platform/sys/module_path.h"
#include "recording_display_environment.h"
#include "scripted_graphics_system.h"
#include "test_plug.h"
#include "workbuffers/work_buffer.h"

namespace lvtest {

// The log is written only when its file exists at the first line.
inline const std::string kLogPath = [] {
  std::string path = sys::LogPathFor(sys::ProgramPath());
  std::ofstream(path, std::ios::trunc).flush();
  return path;
}();

inline std::vector<std::string> LogLines() {
  std::ifstream in(kLogPath);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// True when `expected` appears in `lines` in this order (other lines between).
inline testing::AssertionResult InOrder(const std::vector<std::string>& lines, const std::vector<std::string>& expected) {
  size_t at = 0;
  for (const std::string& want : expected) {
    while (at < lines.size() && lines[at] != want) ++at;
    if (at == lines.size()) return testing::AssertionFailure() << "missing or out of order: " << want;
    ++at;
  }
  return testing::AssertionSuccess();
}

struct LoggingSteps final : lv::StartupSteps {
  void Step(const char* name) { sys::Log("step: %s", name); }
  void ConnectHost() override { Step("host"); }
  void LoadRecentFiles() override { Step("recent files"); }
  void LoadSettings() override { Step("settings"); }
  const char* SettingsMidiDevice() override { return "keys"; }
  void ShowCursor(bool show) override { Step(show ? "cursor on" : "cursor off"); }
  void LoadPlugins() override { Step("plugins"); }
  void ScanFreeFrameFolder() override { Step("freeframe"); }
  void OpenSoundOutput() override { Step("sound"); }
  bool StartCaptureManager() override {
    Step("capture");
    return false;
  }
  void OpenAudioInput() override { Step("audio input"); }
  void RegisterClipboardFormat() override { Step("clipboard"); }
  void SaveSettings() override { Step("save settings"); }
  void FinishRender() override {
    Step("finish render");
    if (finishRender) finishRender();
  }
  void CloseAudioInput() override { Step("close audio input"); }
  void ReleaseCaptureDevices() override { Step("release capture"); }
  void UnloadFreeFrame() override { Step("unload freeframe"); }
  void FreePluginLibraries() override { Step("free plugins"); }
  void ReleaseSound() override { Step("release sound"); }

  std::function<void()> finishRender;  // the render controller's, where a test has one
};

struct LoggingPort final : midi::InputPort {
  ~LoggingPort() override { sys::Log("midi: closed"); }
  void Start() override { sys::Log("midi: started"); }
  void Stop() override { sys::Log("midi: stopped"); }
};

struct OneDevice final : midi::InputSystem {
  std::vector<std::string> DeviceNames() override { return {"Keys"}; }
  std::unique_ptr<midi::InputPort> Open(int index, midi::ShortMessageHandler, std::string*) override {
    sys::Log("midi: open %d", index);
    return std::make_unique<LoggingPort>();
  }
  std::unique_ptr<midi::InputPort> OpenByName(const std::string&, midi::ShortMessageHandler, std::string*) override {
    return nullptr;
  }
};

// A patch whose drawing waits until the test lets it go.
struct StuckPlug final : lvtest::TestPlug {
  StuckPlug() : TestPlug(nullptr, "stuck") {}
  void Render(uint32_t) override {
    entered = true;
    while (!released) std::this_thread::yield();
  }
  std::atomic<bool> entered{false};
  std::atomic<bool> released{false};
};

class ProgramLifecycleTest : public testing::Test {
 protected:
  ProgramLifecycleTest() {
    workBuffers.Connect(&host, nullptr, nullptr);
    performer.SetDevice(&frameDevice);
    std::ofstream(kLogPath, std::ios::trunc).flush();
  }

  lvtest::Journal journal;
  lvtest::SystemScript script;
  LoggingSteps steps;
  lv::D3D d3d{[this] { return std::make_unique<lvtest::ScriptedGraphicsSystem>(&script); }};
  lv::Performer performer;
  lv::WorkBufferTable workBuffers;
  lv::DisplayHostState host;
  lvtest::RecordingDisplayEnvironment environment{&journal};
  lv::DisplayFrameDevice frameDevice{d3d, workBuffers, host};
  lv::DisplaySwitch display{d3d, performer, workBuffers, host, environment};
  lv::MidiClass midi{std::make_unique<OneDevice>()};
  lv::ProgramLifecycle lifecycle{steps, performer, d3d, display, midi};
};

}  // namespace lvtest
