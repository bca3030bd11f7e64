#include "platform/media/video_encoders.h"

#include "ffmpeg_support.h"

namespace media {
namespace {

struct KnownEncoder {
  const char* name;
  const char* description;
  bool lossless;
  bool hasQuality;
  bool hasKeyFrames;
  bool hasDataRate;
};

// The compressors a chooser offers, in the order it shows them: the ones
// common AVI players decode. Hardware and wrapper encoders are left out
// because they fail on machines without the device.
constexpr KnownEncoder kKnownEncoders[] = {
    {"rawvideo", "Full Frames (Uncompressed)", true, false, false, false},
    {"mjpeg", "Motion JPEG", false, true, false, true},
    {"mpeg4", "MPEG-4 part 2", false, true, true, true},
    {"libxvid", "Xvid MPEG-4 part 2", false, true, true, true},
    {"libx264", "H.264 (x264)", false, true, true, true},
    {"msmpeg4", "Microsoft MPEG-4 version 3", false, true, true, true},
    {"ffv1", "FFV1 (lossless)", true, false, true, false},
    {"huffyuv", "HuffYUV (lossless)", true, false, false, false},
    {"utvideo", "Ut Video (lossless)", true, false, false, false},
};

std::vector<VideoEncoderInfo> FindEncoders() {
  ffmpeg::Initialize();
  const AVOutputFormat* avi = av_guess_format("avi", nullptr, nullptr);
  std::vector<VideoEncoderInfo> found;
  for (const KnownEncoder& known : kKnownEncoders) {
    const AVCodec* codec = avcodec_find_encoder_by_name(known.name);
    if (!codec || !avi || avformat_query_codec(avi, codec->id, FF_COMPLIANCE_NORMAL) != 1) continue;
    found.push_back({known.name, known.description, known.lossless, known.hasQuality, known.hasKeyFrames,
                     known.hasDataRate});
  }
  return found;
}

}  // namespace

const std::vector<VideoEncoderInfo>& AvailableVideoEncoders() {
  static const std::vector<VideoEncoderInfo> encoders = FindEncoders();
  return encoders;
}

const VideoEncoderInfo* FindVideoEncoder(const std::string& name) {
  for (const VideoEncoderInfo& info : AvailableVideoEncoders())
    if (info.name == name) return &info;
  return nullptr;
}

}  // namespace media
