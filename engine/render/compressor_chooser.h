#pragma once
// Asks the user how to compress a render: one of the encoders FFmpeg has,
// with its quality, key-frame interval and data rate.
#include <optional>

#include "platform/media/video_encoders.h"

namespace lv {

class CompressorChooser {
 public:
  virtual ~CompressorChooser() = default;
  // Empty when the user cancels.
  virtual std::optional<media::CompressorChoice> ChooseCompressor() = 0;
};

}  // namespace lv
