#pragma once
// What the library's single-source 2D effects share: one source input opened
// from its name, the option word and source name saved as "FLAG" and "NAME",
// the settings dialog's shared part, the note-off erase and the release of
// the source and device objects. A class adds its parameters, shaders and
// drawing.
#include <cstdint>
#include <span>

#include "lv/plug.h"
#include "lv/source.h"
#include "platform/gfx/resources.h"
#include "platform/window/kit/source_name.h"
#include "platform/window/kit/source_settings_dialog.h"
#include "shader_objects.h"
#include "source_quad.h"

namespace kestrix {

class SourceEffect : public lv::Plug {
 public:
  ~SourceEffect() override;

  int32_t GetNumInputs() override { return 1; }
  const char* GetInputName(int32_t i) override { return sourceName_.InputName(i); }
  void SetInputName(int32_t i, const char* name) override { sourceName_.SetInputName(i, name); }
  bool KeepAfterNoteOff() override { return false; }
  bool Load(lv::ChunkStream* stream) override;
  bool Save(lv::ChunkStream* stream) override;
  // Frees the source and every device object; safe to call at any time.
  void ReleaseDeviceObjects() override;

  uint32_t Options() const { return options_; }
  void SetOptions(uint32_t options) { options_ = options; }

 protected:
  explicit SourceEffect(uint32_t options) : options_(options) {}

  // The shared steps of CreateDeviceObjects: releases what an earlier call
  // left, opens the source (option byte 0 from `loopedBit`), reads the frame
  // size and makes the quad declaration. False leaves nothing held.
  // `openOption` is passed to the host's CreateSource.
  bool OpenSourceAndDeclaration(uint32_t loopedBit, uint8_t openOption = 0);
  // The vertex and pixel shaders `vertexEntry` and `pixelEntry` of SHADER
  // `shaderId`; when either is missing everything is released and the result
  // is false.
  bool CompileShaders(uint32_t shaderId, const char* vertexEntry, const char* pixelEntry,
                      VertexShaderObjects& vertexShader, PixelShaderObjects& pixelShader);
  // The opening of Render: advances the source, then gives the device and the
  // current target; false when there is no source, device or target.
  bool BeginFrame(uint32_t milliseconds, gfx::Device*& device, const gfx::SurfaceDesc*& target);
  // The quad's half extents for the current target by the stretch bit.
  HalfExtents HalfExtentsFor(uint32_t stretchBit) const;
  // The class's own device objects (shaders, tables); called by ReleaseDeviceObjects.
  virtual void ReleaseEffectObjects() = 0;

  // Note on: restarts the source with `resetBit`, then Attach(velocity).
  void AttachSource(uint32_t resetBit);
  // Advances the source; false when there is none.
  bool AdvanceSource(uint32_t milliseconds);
  // Note off: clears the target with `eraseBit`, then detaches the source.
  void EraseAndDetach(uint32_t eraseBit);

  // Settings dialog `templateId` of this library with the shared controls;
  // volume and pan only for classes that have them.
  bool RunSettingsDialog(int templateId, lv::WindowHandle owner, std::span<const kit::OptionCheckBox> checkBoxes,
                         uint8_t* volume = nullptr, uint8_t* pan = nullptr,
                         kit::SettingsDialogExtras* extras = nullptr);

  kit::SourceName sourceName_;
  uint32_t options_;
  lv::Source* source_ = nullptr;  // owned
  lv::SourceInfo frame_{};
  uint32_t targetWidth_ = 0;
  uint32_t targetHeight_ = 0;
  gfx::Ref<gfx::VertexDeclaration> declaration_;

 private:
  void ReleaseSharedObjects();
};

}  // namespace kestrix
