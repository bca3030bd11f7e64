#include "render/dialog_compressor_chooser.h"

#include "render/compressor_dialog.h"

namespace lv {

std::optional<media::CompressorChoice> DialogCompressorChooser::ChooseCompressor() {
  return ShowCompressorDialog(owner_, media::AvailableVideoEncoders(), media::CompressorChoice{});
}

}  // namespace lv
