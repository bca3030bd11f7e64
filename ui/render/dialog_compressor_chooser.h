#pragma once
// The render's compressor choice asked in the compressor dialog, over the
// encoders this FFmpeg build has.
#include "platform/window/window_handle.h"
#include "render/compressor_chooser.h"

namespace lv {

class DialogCompressorChooser final : public CompressorChooser {
 public:
  // `owner`: the main dialog, or null.
  explicit DialogCompressorChooser(window::WindowHandle owner = nullptr) : owner_(owner) {}
  void SetOwner(window::WindowHandle owner) { owner_ = owner; }

  // Each render starts from the compressor's defaults, full frames selected.
  std::optional<media::CompressorChoice> ChooseCompressor() override;

 private:
  window::WindowHandle owner_;
};

}  // namespace lv
