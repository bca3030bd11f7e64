#include "ffmpeg_support.h"

extern "C" {
#include <libavutil/error.h>
#include <libavutil/log.h>
}

#include <mutex>

namespace media::ffmpeg {

void Initialize() {
  static std::once_flag once;
  std::call_once(once, [] { av_log_set_level(AV_LOG_ERROR); });
}

std::string ErrorText(int code) {
  char text[AV_ERROR_MAX_STRING_SIZE] = {};
  av_strerror(code, text, sizeof text);
  return text;
}

InputPtr OpenInput(const std::string& path, AVMediaType type, int* streamIndex, std::string* error) {
  Initialize();
  *streamIndex = -1;
  AVFormatContext* raw = nullptr;
  int result = avformat_open_input(&raw, path.c_str(), nullptr, nullptr);
  if (result < 0) {
    *error = "cannot open " + path + ": " + ErrorText(result);
    return nullptr;
  }
  InputPtr input(raw);
  result = avformat_find_stream_info(input.get(), nullptr);
  if (result < 0) {
    *error = "cannot read the streams of " + path + ": " + ErrorText(result);
    return nullptr;
  }
  int found = av_find_best_stream(input.get(), type, -1, -1, nullptr, 0);
  if (found >= 0) *streamIndex = found;
  return input;
}

CodecPtr OpenDecoder(const AVStream* stream, std::string* error) {
  const AVCodec* decoder = avcodec_find_decoder(stream->codecpar->codec_id);
  if (!decoder) {
    *error = std::string("no decoder for ") + avcodec_get_name(stream->codecpar->codec_id);
    return nullptr;
  }
  CodecPtr codec(avcodec_alloc_context3(decoder));
  if (!codec) {
    *error = "out of memory";
    return nullptr;
  }
  int result = avcodec_parameters_to_context(codec.get(), stream->codecpar);
  if (result >= 0) {
    codec->pkt_timebase = stream->time_base;
    result = avcodec_open2(codec.get(), decoder, nullptr);
  }
  if (result < 0) {
    *error = std::string("cannot open the ") + decoder->name + " decoder: " + ErrorText(result);
    return nullptr;
  }
  return codec;
}

}  // namespace media::ffmpeg
