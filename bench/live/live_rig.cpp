#include "live_rig.h"

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "builtin_kinds.h"
#include "platform/gfx/graphics_system.h"

namespace bench {

LiveRig::LiveRig(uint32_t width, uint32_t height, gfx::PresentCallback presented)
    : width_(width), height_(height), d3d_(gfx::CreateGraphicsSystem), registry_(&host_) {
  d3d_.request.width = width;
  d3d_.request.height = height;
  d3d_.SetPresentFallback(std::move(presented));
  if (d3d_.Init(gfx::NativeWindow{}, false) != lv::D3D::kInitOk) {
    error_ = "no OpenGL device";
    return;
  }
  displayHost_.SetDevice(d3d_.Device());
  displayHost_.SetCurrentTarget(d3d_.BackBuffer());
  displayHost_.SetTextureRules(true, false);
  displayHost_.RefreshTargetDesc();
  host_.registry.store(&registry_);
  host_.performer.store(&performer_);
  builtin::RegisterBuiltinKinds(registry_);
  libraries_.LoadFolder(LV_PLUGIN_DIR, registry_);
  performer_.SetDevice(&frameDevice_);
  performance_ = new lv::Performance;
  unconnected_.reset(performance_);
  performance_->CreateBank(0);
  performance_->SelectBank(0);
  performance_->channelMask = 0x0001;
}

LiveRig::~LiveRig() {
  performer_.Stop();  // deletes the performance and with it every patch
  unconnected_.reset();
  registry_.Clear();
  libraries_.FreeAll();
}

bool LiveRig::Assign(uint8_t note, const std::string& kind, const std::string& source, int8_t priority) {
  for (int32_t i = 0; i < registry_.PlugKindCount(); ++i) {
    lv::PlugDesc* desc = registry_.GetPlugKind(i);
    if (kind != desc->GetName()) continue;
    std::unique_ptr<lv::Plug> patch(registry_.CreatePlug(desc));
    if (!patch) return false;
    if (patch->GetNumInputs() > 0) patch->SetInputName(0, source.c_str());
    Assign(note, std::move(patch), priority);
    return true;
  }
  return false;
}

void LiveRig::Assign(uint8_t note, std::unique_ptr<lv::Plug> patch, int8_t priority) {
  lv::NoteSlot* slot = performance_->NoteSlotAt(note);
  slot->patch = std::move(patch);
  slot->priority = priority;
}

void LiveRig::Connect(lv::PerformerState state) {
  performer_.SetPerformance(unconnected_.release());  // creates the patches' device objects
  performer_.SetChannelMask(performance_->channelMask);
  performer_.SetState(state);
}

std::string PictureFile(uint32_t width, uint32_t height) {
  const std::string path = (std::filesystem::temp_directory_path() /
                            ("lv_bench_picture_" + std::to_string(width) + "x" + std::to_string(height) + ".bmp"))
                               .string();
  const uint32_t row = (width * 3 + 3) & ~3u;
  const uint32_t imageBytes = row * height;
  std::vector<uint8_t> file(54 + imageBytes, 0);
  auto put32 = [&file](size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) file[at + i] = uint8_t(v >> (8 * i));
  };
  file[0] = 'B';
  file[1] = 'M';
  put32(2, uint32_t(file.size()));
  put32(10, 54);
  put32(14, 40);
  put32(18, width);
  put32(22, height);
  file[26] = 1;
  file[28] = 24;
  put32(34, imageBytes);
  for (uint32_t y = 0; y < height; ++y)
    for (uint32_t x = 0; x < width; ++x) {
      uint8_t* p = file.data() + 54 + y * row + x * 3;
      p[0] = uint8_t(x * 255 / width);
      p[1] = uint8_t(y * 255 / height);
      p[2] = uint8_t((x ^ y) & 0xFF);
    }
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(file.data()), std::streamsize(file.size()));
  return path;
}

}  // namespace bench
