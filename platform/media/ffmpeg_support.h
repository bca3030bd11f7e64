#pragma once
// Shared FFmpeg plumbing of the media area: owners that free what FFmpeg
// allocates, and error texts.
extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/frame.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

#include <memory>
#include <string>

namespace media::ffmpeg {

// Keeps FFmpeg's own console output to real errors; our callers report
// failures themselves. Called before any other FFmpeg use.
void Initialize();

std::string ErrorText(int code);

struct InputCloser {
  void operator()(AVFormatContext* context) const { avformat_close_input(&context); }
};
struct CodecFreer {
  void operator()(AVCodecContext* context) const { avcodec_free_context(&context); }
};
struct FrameFreer {
  void operator()(AVFrame* frame) const { av_frame_free(&frame); }
};
struct PacketFreer {
  void operator()(AVPacket* packet) const { av_packet_free(&packet); }
};
struct ScalerFreer {
  void operator()(SwsContext* context) const { sws_freeContext(context); }
};
struct ResamplerFreer {
  void operator()(SwrContext* context) const { swr_free(&context); }
};
struct ParserCloser {
  void operator()(AVCodecParserContext* context) const { av_parser_close(context); }
};

using InputPtr = std::unique_ptr<AVFormatContext, InputCloser>;
using CodecPtr = std::unique_ptr<AVCodecContext, CodecFreer>;
using FramePtr = std::unique_ptr<AVFrame, FrameFreer>;
using PacketPtr = std::unique_ptr<AVPacket, PacketFreer>;
using ScalerPtr = std::unique_ptr<SwsContext, ScalerFreer>;
using ResamplerPtr = std::unique_ptr<SwrContext, ResamplerFreer>;
using ParserPtr = std::unique_ptr<AVCodecParserContext, ParserCloser>;

// Opens `path` and reads its stream headers; the stream of `type` that
// FFmpeg ranks first is put in `streamIndex` (-1 when there is none).
InputPtr OpenInput(const std::string& path, AVMediaType type, int* streamIndex, std::string* error);

// A decoder opened for the stream's parameters.
CodecPtr OpenDecoder(const AVStream* stream, std::string* error);

}  // namespace media::ffmpeg
