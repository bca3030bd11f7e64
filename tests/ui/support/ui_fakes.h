#pragma once
// Fakes for the main dialog's services: plug-in kinds whose instances answer
// their settings dialog as told, project files kept in memory (with a real
// file on disk for each save), scripted small dialogs and a recording shelf.
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "dialogs/note_dialogs.h"
#include "journal.h"
#include "main_dialog/main_dialog_services.h"
#include "performer/performer.h"
#include "test_plug.h"

namespace uitest {

// A test patch whose settings dialog answers `configureResult`, and which
// notes the Performer's state whenever its note is ended.
class UiPlug : public lvtest::TestPlug {
 public:
  UiPlug(lvtest::Journal* journal, std::string name, const lv::ClassId& id, lv::Performer* performer)
      : TestPlug(journal, std::move(name)), journal_(journal), id_(id), performer_(performer) {}
  const lv::ClassId* GetClassId() override { return &id_; }
  bool Configure(lv::WindowHandle) override {
    ++configured;
    return configureResult;
  }
  void NoteOff() override {
    TestPlug::NoteOff();
    if (performer_ != nullptr && journal_ != nullptr) journal_->Add("state-at-off:" + std::to_string(performer_->State()));
  }
  int32_t GetNumInputs() override { return inputName.empty() ? 0 : 1; }
  const char* GetInputName(int32_t) override { return inputName.c_str(); }
  void SetInputName(int32_t, const char* name) override { inputName = name != nullptr ? name : ""; }
  // `state` stands for the plug-in's own settings in saved patches.
  bool Save(lv::ChunkStream* stream) override { return stream->WriteInt32Chunk(kStateTag, &state) && stream->WriteEnd(); }
  bool Load(lv::ChunkStream* stream) override {
    bool found = false;
    while (uint32_t tag = stream->NextChunk()) {
      if (tag == kStateTag) found = stream->ReadChunkData(&state, sizeof state);
    }
    return found;
  }
  static constexpr uint32_t kStateTag = lv::ChunkTag("STAT");
  int32_t state = 0;

  bool configureResult = true;
  int configured = 0;
  std::string inputName;

 private:
  lvtest::Journal* journal_;
  lv::ClassId id_;
  lv::Performer* performer_;
};

class FakeKind final : public lv::PlugDesc {
 public:
  FakeKind(std::string name, std::string category, std::string description, uint32_t idNumber, int32_t kind = 1)
      : name_(std::move(name)), category_(std::move(category)), description_(std::move(description)),
        id_{idNumber, 0, 0, {1, 2, 3, 4, 5, 6, 7, 8}}, kind_(kind) {}
  int32_t GetKind() override { return kind_; }
  const lv::ClassId* GetClassId() override { return &id_; }
  const char* GetCategory() override { return category_.c_str(); }
  const char* GetName() override { return name_.c_str(); }
  const char* GetDescription() override { return description_.c_str(); }
  lv::Plug* Create() override {
    auto* plug = new UiPlug(journal, name_, id_, performer);
    plug->configureResult = configureResult;
    if (!params.empty()) plug->SetParams(params);
    last = plug;
    return plug;
  }

  bool configureResult = true;
  std::vector<lv::ParamInfo> params;  // every instance's parameters
  lvtest::Journal* journal = nullptr;
  lv::Performer* performer = nullptr;
  UiPlug* last = nullptr;

 private:
  std::string name_, category_, description_;
  lv::ClassId id_;
  int32_t kind_;
};

class FakeKinds final : public ui::PluginKinds {
 public:
  FakeKind& Add(std::string name, std::string category, std::string description, int32_t kind = 1) {
    kinds_.push_back(std::make_unique<FakeKind>(std::move(name), std::move(category), std::move(description),
                                                static_cast<uint32_t>(0x1000 + kinds_.size()), kind));
    return *kinds_.back();
  }
  int Count() const override { return static_cast<int>(kinds_.size()); }
  lv::PlugDesc* At(int index) const override {
    return index >= 0 && index < Count() ? kinds_[static_cast<size_t>(index)].get() : nullptr;
  }
  lv::PlugDesc* Find(const lv::ClassId& id) const override {
    for (const auto& kind : kinds_)
      if (*kind->GetClassId() == id) return kind.get();
    return nullptr;
  }
  lv::Plug* Create(lv::PlugDesc* kind) const override { return kind != nullptr ? kind->Create() : nullptr; }
  FakeKind& Kind(int index) { return *kinds_[static_cast<size_t>(index)]; }

 private:
  std::vector<std::unique_ptr<FakeKind>> kinds_;
};

// Keeps each saved performance's banks and patches by path, and writes a
// small file there so tests can see whether the file on disk changed.
class FakeProjects final : public ui::ProjectFiles {
 public:
  explicit FakeProjects(FakeKinds& kinds) : kinds_(kinds) {}

  bool Save(lv::Performance& performance, bool saveAs) override {
    ++saves;
    if (saveAs || performance.name.Length() == 0) {
      if (!saveAsPath) return false;
      performance.name.Assign(saveAsPath->c_str());
    }
    if (failWrites) return false;
    std::ostringstream text;
    for (int32_t i = 0; lv::Bank* bank = performance.BankAt(i); ++i) {
      text << "bank " << int(bank->programNumber) << ' ' << (bank->Name() ? bank->Name() : "-") << '\n';
      for (int note = 0; note < lv::Bank::kNoteCount; ++note) {
        const lv::NoteSlot& slot = bank->slots[note];
        if (!slot.patch) continue;
        text << "note " << note << ' ' << int(slot.priority) << ' ' << slot.target << ' '
             << slot.patch->GetClassId()->data1 << '\n';
      }
    }
    files_[performance.name.CStr()] = text.str();
    std::ofstream(performance.name.CStr()) << text.str();
    performance.modified = 0;
    return true;
  }

  bool Load(lv::Performance& performance, const char* fileName) override {
    ++loads;
    if (!loadFailure.empty()) return false;
    const std::string path = fileName != nullptr ? fileName : openPath.value_or("");
    const auto found = files_.find(path);
    if (found == files_.end()) return false;
    performance.name.Assign(path.c_str());
    std::istringstream text(found->second);
    std::string word;
    lv::Bank* bank = nullptr;
    while (text >> word) {
      if (word == "bank") {
        int number = 0;
        std::string name;
        text >> number >> name;
        bank = performance.CreateBank(static_cast<uint8_t>(number));
        if (name != "-") bank->SetName(name.c_str());
      } else {
        int note = 0, priority = 0, target = 0;
        uint32_t id = 0;
        text >> note >> priority >> target >> id;
        for (int k = 0; k < kinds_.Count(); ++k) {
          if (kinds_.At(k)->GetClassId()->data1 != id) continue;
          lv::NoteSlot& slot = bank->slots[note];
          slot.patch.reset(kinds_.Create(kinds_.At(k)));
          slot.priority = static_cast<int8_t>(priority);
          slot.target = target;
          slot.bindings.Attach(slot.patch.get());
        }
      }
    }
    if (lv::Bank* first = performance.BankAt(0)) performance.SelectBank(first->programNumber);
    performance.modified = 0;
    return true;
  }

  std::optional<std::string> saveAsPath;  // the save dialog's answer; none cancels
  std::optional<std::string> openPath;    // the open dialog's answer
  bool failWrites = false;
  std::string loadFailure;  // set: every file opens but is refused with this
  std::string LoadFailure() const override { return loadFailure; }
  int saves = 0;
  int loads = 0;

 private:
  FakeKinds& kinds_;
  std::map<std::string, std::string> files_;
};

class FakeRecent final : public ui::RecentProjects {
 public:
  void Add(const std::string& path) override {
    std::erase(entries, path);
    entries.insert(entries.begin(), path);
    if (entries.size() > 4) entries.resize(4);
  }
  std::vector<std::string> Entries() const override { return entries; }
  std::vector<std::string> entries;
};

class RecordingShelf final : public ui::KnobShelfView {
 public:
  void Populate(lv::NoteSlot* slot) override { shown.push_back(slot); }
  std::vector<lv::NoteSlot*> shown;
};

class FakeWorkBuffers final : public ui::WorkBufferNames {
 public:
  int Count() const override { return static_cast<int>(names.size()); }
  std::string Name(int index) const override { return names[static_cast<size_t>(index)]; }
  std::vector<std::string> names;
};

class FakeCapture final : public ui::CaptureCommands {
 public:
  explicit FakeCapture(lv::Performer& performer) : performer_(performer) {}
  bool StartRecording(const std::string& path) override {
    started.push_back(path);
    if (!startResult) return false;
    performer_.SetState(lv::Recording);
    return true;
  }
  void StopRecording() override {
    ++stops;
    performer_.SetState(lv::Live);
  }
  void PlayCaptureFile() override { ++plays; }
  void RenderCaptureFile() override { ++renders; }
  void StopRenderFile() override { ++renderStops; }

  bool startResult = true;
  std::vector<std::string> started;
  int stops = 0, plays = 0, renders = 0, renderStops = 0;

 private:
  lv::Performer& performer_;
};

class FakeDisplay final : public ui::DisplayControl {
 public:
  explicit FakeDisplay(lv::Performer& performer) : performer_(performer) {}
  void SetDisplay(bool fullScreen) override {
    calls.push_back(fullScreen);
    performer_.SetState(fullScreen ? lv::FullScreen : lv::Live);
  }
  std::vector<bool> calls;

 private:
  lv::Performer& performer_;
};

// The small dialogs, answered from a script; each call is remembered.
class ScriptedDialogs final : public ui::NoteDialogs {
 public:
  int SelectNote(window::WindowHandle) override { return Take(notes, "note"); }
  int CreateNewPatch(window::WindowHandle, int proposed) override {
    proposals.push_back(proposed);
    return Take(bankNumbers, "create");
  }
  int SelectPriority(window::WindowHandle, int) override { return Take(priorities, "priority"); }
  bool SetPatchName(window::WindowHandle, lv::Bank& bank) override {
    calls.push_back("name");
    if (!name) return false;
    bank.SetName(name->c_str());
    return true;
  }
  void ListPatches(window::WindowHandle, const lv::Performance&) override { calls.push_back("list"); }
  void ShowSystemInfo(window::WindowHandle) override { calls.push_back("info"); }
  int ChoosePlugin(window::WindowHandle) override { return Take(plugins, "plugin"); }

  std::vector<int> notes, bankNumbers, priorities, plugins;
  std::optional<std::string> name;
  std::vector<int> proposals;
  std::vector<std::string> calls;

 private:
  int Take(std::vector<int>& answers, const char* what) {
    calls.push_back(what);
    if (answers.empty()) return what == std::string("priority") ? kNoPriority : -1;
    const int answer = answers.front();
    answers.erase(answers.begin());
    return answer;
  }
};

}  // namespace uitest
