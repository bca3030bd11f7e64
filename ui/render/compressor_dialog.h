#pragma once
// The dialog that asks how a render is compressed: one of the encoders this
// FFmpeg build can put in an AVI file, with the quality, key-frame interval
// and data rate where the chosen encoder takes them. Runs on the
// user-interface thread.
#include <optional>
#include <vector>

#include "platform/media/video_encoders.h"
#include "platform/window/dialog_template.h"
#include "platform/window/window_handle.h"

namespace lv {

// Control ids, for the dialog's procedure and for tests.
enum CompressorDialogControl : int {
  kCompressorList = 1101,
  kQualityCheck = 1102,
  kQualityEdit = 1103,
  kKeyFrameCheck = 1104,
  kKeyFrameEdit = 1105,
  kDataRateCheck = 1106,
  kDataRateEdit = 1107,
};

inline constexpr int kCompressorDialogId = 600;
window::DialogTemplate CompressorDialogTemplate();

// Shows `encoders` with `initial` selected and preset; the choice on OK,
// nothing on Cancel, with no encoder to offer, or without a user interface.
std::optional<media::CompressorChoice> ShowCompressorDialog(window::WindowHandle owner,
                                                            const std::vector<media::VideoEncoderInfo>& encoders,
                                                            const media::CompressorChoice& initial);

}  // namespace lv
