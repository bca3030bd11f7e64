#pragma once
// "ShowBMP": one still image file drawn as a textured quad. The velocity can
// pick the zoom speed, a cell of a 2 x 2, 3 x 3 or 4 x 4 grid, or the
// brightness.
#include <cstdint>

#include "lv/plug_desc.h"
#include "platform/gfx/resources.h"
#include "platform/window/kit/source_name.h"
#include "plugins/still_picture_plug.h"

namespace builtin {

// Where and how bright a note draws the image: half extent and centre in
// target pixels (y up, (0, 0) the centre) and the grey of the "Color"
// constant (0.25 shows the image as it is).
struct ShowBmpLayout {
  float halfWidth = 0, halfHeight = 0;
  float offsetX = 0, offsetY = 0;
  float brightness = 0.25f;
  bool zooming = false;  // the extent is scaled by the zoom each frame
};

// The layout of a note of `velocity` by the option word.
ShowBmpLayout ShowBmpNoteLayout(uint32_t options, uint8_t velocity, uint32_t targetWidth, uint32_t targetHeight,
                                uint32_t imageWidth, uint32_t imageHeight);

class ShowBmp final : public StillPicturePlug<ShowBmp> {
 public:
  static constexpr int32_t kKind = 1;
  static constexpr lv::ClassId kClassId = {0x41483AE6, 0xE1D9, 0x4737, {0xA8, 0xE3, 0xC5, 0x3B, 0x91, 0xC9, 0xB6, 0x20}};
  static constexpr const char* kCategory = "Basic";
  static constexpr const char* kName = "ShowBMP";
  static constexpr const char* kDescription = "Display a BMP image";

  // Option bits.
  static constexpr uint32_t kStretch = 0x1;
  static constexpr uint32_t kAlphaBlend = 0x2;
  static constexpr uint32_t kEraseOnNoteOff = 0x4;
  static constexpr uint32_t kVelocityActive = 0x8;
  static constexpr uint32_t kVelocityZoom = 0x10;
  static constexpr uint32_t kVelocityQuarter = 0x20;
  static constexpr uint32_t kVelocityNinth = 0x40;
  static constexpr uint32_t kVelocitySixteenth = 0x80;
  static constexpr uint32_t kVelocityBrightness = 0x100;

  ShowBmp() : StillPicturePlug(kStretch | kEraseOnNoteOff) {}
  ~ShowBmp() override = default;

  int32_t GetNumInputs() override { return 1; }
  const char* GetInputName(int32_t i) override { return fileName_.InputName(i); }
  void SetInputName(int32_t i, const char* name) override { fileName_.SetInputName(i, name); }
  bool CreateDeviceObjects() override;
  void ReleaseDeviceObjects() override;
  bool Configure(lv::WindowHandle owner) override;
  void NoteOn() override;
  void Render(uint32_t milliseconds) override;
  bool Load(lv::ChunkStream* stream) override;
  bool Save(lv::ChunkStream* stream) override;

  kit::SourceName& FileName() { return fileName_; }
  int32_t ZoomFrom() const { return zoomFrom_; }
  int32_t ZoomTo() const { return zoomTo_; }
  // Percent; each also sets its factor.
  void SetZoomFrom(int32_t percent);
  void SetZoomTo(int32_t percent);
  float Zoom() const { return zoom_; }
  const ShowBmpLayout& Layout() const { return layout_; }

 private:
  // The zoom of this frame's quad, then one step towards the zoom-to factor.
  float StepZoom();

  kit::SourceName fileName_;
  int32_t zoomFrom_ = 100, zoomTo_ = 100;
  float zoomFromFactor_ = 1.0f, zoomToFactor_ = 1.0f;
  float zoomStep_ = 0, zoom_ = 1.0f;
  uint32_t imageWidth_ = 0, imageHeight_ = 0;
  uint32_t targetWidth_ = 0, targetHeight_ = 0;
  ShowBmpLayout layout_;

  gfx::Ref<gfx::Texture> texture_;
  gfx::ConstantHandle matWVP_{};
  gfx::ConstantHandle color_{};
};

lv::PlugDesc* ShowBmpDescriptor();

}  // namespace builtin
