#pragma once
// A registry with the state plug-in kind, an LFO table and a folder for the
// project file tests.
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "file_bytes.h"
#include "files/chunk_fields.h"
#include "files/project_file.h"
#include "registry/plug_registry.h"
#include "state_plug.h"
#include "temp_folder.h"

namespace lvtest {

// Capture and sampler sections as one-chunk bodies naming what they stand for.
class FakeShow final : public lv::ShowObjects {
 public:
  void Release() override { log.push_back("release"); }
  bool SaveCaptures(const SectionSink& section) override { return SaveAll(captures, section); }
  bool SaveSamplers(const SectionSink& section) override { return SaveAll(samplers, section); }
  void LoadCapture(lv::ChunkStream& stream) override { log.push_back("capture " + NameIn(stream)); }
  void LoadSampler(lv::ChunkStream& stream) override { log.push_back("sampler " + NameIn(stream)); }

  std::vector<std::string> captures, samplers, log;
  bool failWrite = false;

 private:
  static constexpr uint32_t kName = lv::ChunkTag("NAME");
  bool SaveAll(const std::vector<std::string>& names, const SectionSink& section) {
    for (const std::string& name : names) {
      const bool ok = section([&](lv::ChunkStream& stream) {
        return !failWrite && stream.WriteChunk(kName, name.c_str(), int32_t(name.size() + 1)) && stream.WriteEnd();
      });
      if (!ok) return false;
    }
    return true;
  }
  static std::string NameIn(lv::ChunkStream& stream) {
    std::string name = "?";
    while (uint32_t tag = stream.NextChunk())
      if (tag == kName) name = lv::ReadChunkText(stream);
    return name;
  }
};

class ProjectFileTest : public testing::Test {
 protected:
  ProjectFileTest() : kind(kStateKindId, {TaggedParam("PRMA", "a"), TaggedParam("PRMB", "b"), TaggedParam("PRMC", "c")}) {
    registry.RegisterPlugKind(&kind, nullptr);
    context.registry = &registry;
    context.lfos = &lfos;
    context.adapterCount = 2;
    path = folder.File("show.LVP");
  }

  // A patch of `plugKind` in the slot, with its bindings attached.
  StatePlug* AddPatch(lv::Bank& bank, uint8_t note, int32_t state, lv::PlugDesc& plugKind) {
    auto* plug = static_cast<StatePlug*>(registry.CreatePlug(&plugKind));
    plug->state = state;
    lv::NoteSlot& slot = bank.slots[note];
    slot.patch.reset(plug);
    slot.bindings.Attach(plug);
    return plug;
  }
  StatePlug* AddPatch(lv::Bank& bank, uint8_t note, int32_t state) { return AddPatch(bank, note, state, kind); }

  bool Save(lv::Performance& performance) {
    performance.name.Assign(path.c_str());
    return lv::SavePerformance(performance, false, context);
  }
  bool Load(lv::Performance& performance) { return lv::LoadPerformance(performance, path.c_str(), context); }
  bool LoadBytes(lv::Performance& performance, const Bytes& bytes) {
    WriteFileBytes(path, bytes.data);
    return Load(performance);
  }

  static StatePlug* PatchOf(const lv::Performance& performance, uint8_t program, uint8_t note) {
    lv::Bank* bank = performance.FindBank(program);
    return bank != nullptr ? static_cast<StatePlug*>(bank->slots[note].patch.get()) : nullptr;
  }

  TempFolder folder;
  StatePlugKind kind;
  lv::PlugRegistry registry;
  lv::LfoArray lfos{};
  lv::ProjectFileContext context;
  std::string path;
};

}  // namespace lvtest
