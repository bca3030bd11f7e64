#include "source_effect.h"

#include "module_dialogs.h"
#include "platform/gfx/device.h"
#include "platform/window/kit/erase_on_note_off.h"
#include "platform/window/kit/plug_chunks.h"

namespace kestrix {

SourceEffect::~SourceEffect() {
  // An instance may go while its source is still open; the class's own
  // device objects release themselves with its members.
  ReleaseSharedObjects();
}

bool SourceEffect::Load(lv::ChunkStream* stream) {
  return kit::LoadFlagNameVolPan(stream, host, {&options_, nullptr, nullptr, &sourceName_});
}

bool SourceEffect::Save(lv::ChunkStream* stream) {
  return kit::SaveFlagNameVolPan(stream, {&options_, nullptr, nullptr, &sourceName_});
}

void SourceEffect::ReleaseDeviceObjects() {
  ReleaseEffectObjects();
  ReleaseSharedObjects();
}

void SourceEffect::ReleaseSharedObjects() {
  delete source_;
  source_ = nullptr;
  declaration_ = {};
}

bool SourceEffect::OpenSourceAndDeclaration(uint32_t loopedBit, uint8_t openOption) {
  // A failed earlier attempt is never called back by the host: start clean.
  ReleaseDeviceObjects();
  if (host == nullptr) return false;
  if (const gfx::SurfaceDesc* target = host->GetBackBufferDesc()) {
    targetWidth_ = target->width;
    targetHeight_ = target->height;
  }
  source_ = host->CreateSource(sourceName_.Get(), openOption);
  if (source_ == nullptr) return false;
  source_->SetOption0((options_ & loopedBit) != 0 ? 1 : 0);
  declaration_ = gfx::Ref<gfx::VertexDeclaration>(CreateQuadDeclaration(host->GetDevice()));
  // A source that cannot tell its frame size cannot be drawn.
  if (!source_->GetInfo(&frame_) || !declaration_) {
    ReleaseDeviceObjects();
    return false;
  }
  return true;
}

HalfExtents SourceEffect::HalfExtentsFor(uint32_t stretchBit) const {
  return QuadHalfExtents((options_ & stretchBit) != 0, targetWidth_, targetHeight_, frame_);
}

void SourceEffect::AttachSource(uint32_t resetBit) {
  if (source_ == nullptr) return;
  if ((options_ & resetBit) != 0) source_->Restart();
  source_->Attach(velocity);
}

bool SourceEffect::AdvanceSource(uint32_t milliseconds) {
  if (source_ == nullptr) return false;
  bool wrapped = false;
  bool newFrame = false;
  source_->Advance(milliseconds, &wrapped, &newFrame);
  return true;
}

void SourceEffect::EraseAndDetach(uint32_t eraseBit) { kit::EraseOnNoteOff(host, (options_ & eraseBit) != 0, source_); }

bool SourceEffect::RunSettingsDialog(int templateId, lv::WindowHandle owner,
                                     std::span<const kit::OptionCheckBox> checkBoxes, uint8_t* volume, uint8_t* pan,
                                     kit::SettingsDialogExtras* extras) {
  return kit::RunSourceSettingsDialog(ModuleDialogs(), templateId, owner, checkBoxes,
                                      {host, &sourceName_, &options_, volume, pan}, extras);
}

bool SourceEffect::CompileShaders(uint32_t shaderId, const char* vertexEntry, const char* pixelEntry,
                                  VertexShaderObjects& vertexShader, PixelShaderObjects& pixelShader) {
  vertexShader = CompileVertexShader(host, shaderId, vertexEntry);
  pixelShader = CompilePixelShader(host, shaderId, pixelEntry);
  if (vertexShader && pixelShader) return true;
  ReleaseDeviceObjects();
  return false;
}

bool SourceEffect::BeginFrame(uint32_t milliseconds, gfx::Device*& device, const gfx::SurfaceDesc*& target) {
  if (!AdvanceSource(milliseconds)) return false;
  device = host->GetDevice();
  target = host->GetBackBufferDesc();
  return device != nullptr && target != nullptr;
}

}  // namespace kestrix
