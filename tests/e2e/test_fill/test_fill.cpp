// A tiny plug-in library for the end-to-end test: its one kind fills the
// note's target with green every frame while the note plays, and with black
// when the note ends. Its one parameter only gives the knob shelf a knob.
//
// With LV_TEST_FILL_BLOCK naming a file, a Render that finds that file never
// returns, as a broken plug-in's may not; it first creates the file's name
// with ".entered" added, so a test knows the render thread is held.
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <thread>

#include "lv/lorvane_interface.h"
#include "lv/plug_desc.h"
#include "platform/gfx/device.h"

#define LV_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

constexpr lv::ClassId kTestFillId{0x7e57f111, 1, 1, {0, 0, 0, 0, 0, 0, 0, 1}};
constexpr lv::ParamInfo kLevel{0, 100, 50, 0, lv::ChunkTag("LEVL"), "Level", nullptr};

class TestFill final : public lv::Plug {
 public:
  int32_t GetKind() override { return 1; }
  const lv::ClassId* GetClassId() override { return &kTestFillId; }
  int32_t GetNumInputs() override { return 0; }
  const char* GetInputName(int32_t) override { return nullptr; }
  void SetInputName(int32_t, const char*) override {}
  bool CreateDeviceObjects() override { return true; }
  void ReleaseDeviceObjects() override {}
  bool Configure(lv::WindowHandle) override { return true; }
  void NoteOn() override {}
  void NoteOff() override { Fill(0xFF000000); }
  void Render(uint32_t) override {
    BlockWhenAsked();
    Fill(0xFF00C800);
  }
  bool KeepAfterNoteOff() override { return false; }
  bool Load(lv::ChunkStream*) override { return true; }
  bool Save(lv::ChunkStream*) override { return true; }
  // One parameter that changes nothing, so the program shows a knob for it.
  int32_t GetNumParams() override { return 1; }
  bool IsParamEnabled(int32_t i) override { return i == 0; }
  const lv::ParamInfo* GetParamInfo(int32_t i) override { return i == 0 ? &kLevel : nullptr; }
  int32_t GetParam(int32_t i) override { return i == 0 ? level_ : 0; }
  void SetParam(int32_t i, int32_t value) override {
    if (i == 0) level_ = value;
  }

 private:
  // The device comes from the host object, as every plug-in's does.
  void Fill(gfx::Color color) {
    gfx::Device* device = host != nullptr ? host->GetDevice() : nullptr;
    if (device != nullptr) device->Clear(0, nullptr, gfx::clear::Target, color, 1.0f, 0);
  }

  static void BlockWhenAsked() {
    static const char* const block = std::getenv("LV_TEST_FILL_BLOCK");
    struct stat found;
    if (block == nullptr || stat(block, &found) != 0) return;
    std::ofstream(std::string(block) + ".entered").flush();
    for (;;) std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }

  int32_t level_ = kLevel.defaultValue;
};

class TestFillDesc final : public lv::PlugDesc {
 public:
  int32_t GetKind() override { return 1; }
  const lv::ClassId* GetClassId() override { return &kTestFillId; }
  const char* GetCategory() override { return "Test"; }
  const char* GetName() override { return "Test Fill"; }
  const char* GetDescription() override { return "Fills its target with green while its note plays"; }
  lv::Plug* Create() override { return new TestFill; }
};

TestFillDesc descriptor;

}  // namespace

LV_EXPORT int lvpGetVersion() { return 768; }
LV_EXPORT int lvpGetNumPlugs() { return 1; }
LV_EXPORT lv::PlugDesc* lvpGetPlugDesc(int index) { return index == 0 ? &descriptor : nullptr; }
