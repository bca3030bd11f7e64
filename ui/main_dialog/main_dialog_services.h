#pragma once
// What the main dialog's commands call in the rest of the program. Each
// piece is small so that the part that owns it satisfies it with a thin
// adapter, and tests with a fake. A piece left null makes the commands that
// need it unavailable (their controls stay disabled).
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "lv/plug.h"
#include "lv/plug_desc.h"
#include "performance/performance.h"
#include "performance/performance_settings.h"
#include "platform/window/window_handle.h"

namespace ui {

// The registered plug-in kinds, in registration order.
class PluginKinds {
 public:
  virtual ~PluginKinds() = default;
  virtual int Count() const = 0;
  virtual lv::PlugDesc* At(int index) const = 0;
  virtual lv::PlugDesc* Find(const lv::ClassId& id) const = 0;
  // A new instance with its host set, or null (a kind that is not creatable).
  virtual lv::Plug* Create(lv::PlugDesc* kind) const = 0;
};

// Reading and writing project files.
class ProjectFiles {
 public:
  virtual ~ProjectFiles() = default;
  // False when the user cancels the file dialog or the file cannot be
  // written; the file on disk is then unchanged.
  virtual bool Save(lv::Performance& performance, bool saveAs) = 0;
  // Reads into a fresh performance; null asks for the file. False when
  // cancelled or the file cannot be opened.
  virtual bool Load(lv::Performance& performance, const char* fileName) = 0;
  // Why the last Load refused a file it opened (one cut short); empty when
  // there is nothing to tell the user.
  virtual std::string LoadFailure() const { return {}; }
};

// "Bundle Project": the performance copied with its media into a new
// project folder the user chooses.
class ProjectBundler {
 public:
  virtual ~ProjectBundler() = default;
  // True when the media were copied and the project saved in the new
  // folder under its new name. False otherwise; the performance then keeps
  // its old name unless the project was saved there all the same (a media
  // file that could not be copied).
  virtual bool Bundle(lv::Performance& performance) = 0;
};

// The list of recently used project files, most recent first.
class RecentProjects {
 public:
  virtual ~RecentProjects() = default;
  virtual void Add(const std::string& path) = 0;
  virtual std::vector<std::string> Entries() const = 0;
};

// The program's settings record: the defaults of new performances.
class SettingsDefaults {
 public:
  virtual ~SettingsDefaults() = default;
  virtual lv::PerformanceSettings Defaults() const = 0;
  // Keeps `settings` as the new defaults and writes the settings file.
  virtual void SaveDefaults(const lv::PerformanceSettings& settings) = 0;
};

// The display set-up: windowed in the output area, or full screen.
class DisplayControl {
 public:
  virtual ~DisplayControl() = default;
  virtual void SetDisplay(bool fullScreen) = 0;
};

// Recording and playing back capture files.
class CaptureCommands {
 public:
  virtual ~CaptureCommands() = default;
  // Creates the capture file and starts recording; false when the file
  // cannot be created (nothing changed).
  virtual bool StartRecording(const std::string& path) = 0;
  // Halts, closes the capture file and goes back to Live.
  virtual void StopRecording() = 0;
  virtual void PlayCaptureFile() = 0;
  virtual void RenderCaptureFile() = 0;
  virtual void StopRenderFile() = 0;
};

// The host's facts about the machine, shown by System Info.
class SystemFacts {
 public:
  virtual ~SystemFacts() = default;
  virtual int CpuMHz() = 0;
  virtual bool HasMmx() = 0;
  virtual std::string VertexShaderProfile() = 0;
  virtual std::string PixelShaderProfile() = 0;
  virtual int MemoryKB() = 0;
};

// The knob shelf: the knobs of one note slot's patch, or none.
class KnobShelfView {
 public:
  virtual ~KnobShelfView() = default;
  virtual void Populate(lv::NoteSlot* slot) = 0;
};

// The work buffers notes can render into.
class WorkBufferNames {
 public:
  virtual ~WorkBufferNames() = default;
  virtual int Count() const = 0;
  virtual std::string Name(int index) const = 0;
};

// The MIDI input device of the performance.
class MidiInputControl {
 public:
  virtual ~MidiInputControl() = default;
  // Closes the open device and opens the one named (the first when no
  // device has that name).
  virtual void Reopen(const char* deviceName) = 0;
};

// The "Performance Options" sheet.
class OptionsSheetControl {
 public:
  virtual ~OptionsSheetControl() = default;
  // Runs the sheet on the performance over `owner`: true when anything was
  // changed, after OK or Cancel alike.
  virtual bool Show(lv::Performance& performance, window::WindowHandle owner) = 0;
};

}  // namespace ui
