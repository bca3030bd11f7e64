#pragma once
// Short AVI files made the way users make them, through FFmpeg's own
// encoders and AVI muxer (B-frames, long groups of pictures, sound beside the
// picture), and FFmpeg's own decode of them to check a reader against.
extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/opt.h>
#include <libswscale/swscale.h>
}

#include <cstdint>
#include <cstring>
#include <ostream>
#include <string>
#include <vector>

#include <sys/mman.h>
#include <unistd.h>

#include "media_test_support.h"

namespace media::testing {

struct ClipRecipe {
  const char* name;
  const char* encoder;
  AVPixelFormat pixelFormat;
  int maxBFrames = 0;
  int keyFrameEvery = 12;
  bool audio = false;
  const char* x264Params = "";  // libx264 only
};

inline void PrintTo(const ClipRecipe& recipe, std::ostream* out) { *out << recipe.name; }

// The clips every reader test goes through: 322 x 242 is odd enough that no
// codec's block or vector width divides it.
inline std::vector<ClipRecipe> CommonClips() {
  const ClipRecipe all[] = {
      {"rawvideo", "rawvideo", AV_PIX_FMT_BGR24},
      {"mjpeg", "mjpeg", AV_PIX_FMT_YUVJ420P},
      {"mpeg4", "mpeg4", AV_PIX_FMT_YUV420P},
      {"mpeg4_bf2", "mpeg4", AV_PIX_FMT_YUV420P, 2},
      {"mpeg4_bf2_sound", "mpeg4", AV_PIX_FMT_YUV420P, 2, 12, true},
      {"mpeg4_bf2_long_gop", "mpeg4", AV_PIX_FMT_YUV420P, 2, 250},
      {"xvid_bf2", "libxvid", AV_PIX_FMT_YUV420P, 2},
      {"h264_bf2", "libx264", AV_PIX_FMT_YUV420P, 2},
      {"h264_bf3_sound", "libx264", AV_PIX_FMT_YUV420P, 3, 12, true},
      {"h264_bf3_open_gop", "libx264", AV_PIX_FMT_YUV420P, 3, 12, false, "open-gop=1:scenecut=0"},
      {"ffv1", "ffv1", AV_PIX_FMT_YUV420P},
      {"huffyuv_422", "huffyuv", AV_PIX_FMT_YUV422P, 0, 12, true},
  };
  std::vector<ClipRecipe> present;
  for (const ClipRecipe& recipe : all)
    if (avcodec_find_encoder_by_name(recipe.encoder)) present.push_back(recipe);
  return present;
}

constexpr int kClipWidth = 322;
constexpr int kClipHeight = 242;
constexpr int kClipFrames = 30;
constexpr int kClipRate = 25;
constexpr int kSoundRate = 22050;

// The reader converts with these flags; the reference decode uses the same,
// so that frames compare byte for byte.
constexpr int kReferenceScaleFlags = SWS_BILINEAR | SWS_ACCURATE_RND;

// A frame of 32-bit pixels, rows packed.
using Frame = std::vector<uint8_t>;

namespace detail {

struct Muxer {
  AVFormatContext* output = nullptr;
  AVCodecContext* encoder = nullptr;
  AVStream* video = nullptr;
  AVStream* sound = nullptr;
  AVPacket* packet = av_packet_alloc();
  ~Muxer() {
    av_packet_free(&packet);
    avcodec_free_context(&encoder);
    if (output && output->pb) avio_closep(&output->pb);
    avformat_free_context(output);
  }
  bool Drain(AVFrame* frame) {
    if (avcodec_send_frame(encoder, frame) < 0) return false;
    while (avcodec_receive_packet(encoder, packet) == 0) {
      av_packet_rescale_ts(packet, encoder->time_base, video->time_base);
      packet->stream_index = video->index;
      if (av_interleaved_write_frame(output, packet) < 0) return false;
    }
    return true;
  }
};

}  // namespace detail

// Writes kClipFrames frames of FrameColours(i) over a grain that keeps the
// encoders from coding frames as copies. With `audio`, a 16-bit mono ramp
// runs beside them. Empty on success, else what failed.
inline std::string WriteClip(const std::string& path, const ClipRecipe& recipe) {
  detail::Muxer m;
  if (avformat_alloc_output_context2(&m.output, nullptr, "avi", path.c_str()) < 0) return "no AVI muxer";
  const AVCodec* codec = avcodec_find_encoder_by_name(recipe.encoder);
  m.encoder = avcodec_alloc_context3(codec);
  m.encoder->width = kClipWidth;
  m.encoder->height = kClipHeight;
  m.encoder->pix_fmt = recipe.pixelFormat;
  m.encoder->time_base = {1, kClipRate};
  m.encoder->framerate = {kClipRate, 1};
  m.encoder->gop_size = recipe.keyFrameEvery;
  m.encoder->max_b_frames = recipe.maxBFrames;
  m.encoder->strict_std_compliance = FF_COMPLIANCE_UNOFFICIAL;
  if (std::strcmp(recipe.encoder, "libx264") == 0) {
    av_opt_set(m.encoder->priv_data, "preset", "veryfast", 0);
    av_opt_set(m.encoder->priv_data, "x264-params", recipe.x264Params, 0);
  }
  if (avcodec_open2(m.encoder, codec, nullptr) < 0) return "cannot open the encoder";
  m.video = avformat_new_stream(m.output, nullptr);
  m.video->time_base = m.encoder->time_base;
  avcodec_parameters_from_context(m.video->codecpar, m.encoder);
  if (recipe.audio) {
    m.sound = avformat_new_stream(m.output, nullptr);
    AVCodecParameters* p = m.sound->codecpar;
    p->codec_type = AVMEDIA_TYPE_AUDIO;
    p->codec_id = AV_CODEC_ID_PCM_S16LE;
    p->sample_rate = kSoundRate;
    av_channel_layout_default(&p->ch_layout, 1);
    p->bits_per_coded_sample = 16;
    p->block_align = 2;
    m.sound->time_base = {1, kSoundRate};
  }
  if (avio_open(&m.output->pb, path.c_str(), AVIO_FLAG_WRITE) < 0) return "cannot create " + path;
  if (avformat_write_header(m.output, nullptr) < 0) return "cannot write the header";

  AVFrame* frame = av_frame_alloc();
  frame->format = recipe.pixelFormat;
  frame->width = kClipWidth;
  frame->height = kClipHeight;
  av_frame_get_buffer(frame, 0);
  SwsContext* scaler = sws_getContext(kClipWidth, kClipHeight, AV_PIX_FMT_BGRA, kClipWidth, kClipHeight,
                                      recipe.pixelFormat, SWS_BILINEAR, nullptr, nullptr, nullptr);
  Picture picture(kClipWidth, kClipHeight, 64);  // room for the converter's reads past the row
  std::string failure;
  const int samplesPerFrame = kSoundRate / kClipRate;
  std::vector<int16_t> samples(samplesPerFrame);
  for (int i = 0; i < kClipFrames && failure.empty(); ++i) {
    picture.Paint(FrameColours(i), PixelOrder::BGRX, 12);
    av_frame_make_writable(frame);
    const uint8_t* planes[4] = {picture.bytes.data()};
    const int strides[4] = {picture.stride};
    sws_scale(scaler, planes, strides, 0, kClipHeight, frame->data, frame->linesize);
    frame->pts = i;
    if (!m.Drain(frame)) failure = "the encoder refused frame " + std::to_string(i);
    if (m.sound) {
      for (int s = 0; s < samplesPerFrame; ++s)
        samples[s] = static_cast<int16_t>((i * samplesPerFrame + s) % 20000 - 10000);
      av_new_packet(m.packet, samplesPerFrame * 2);
      std::memcpy(m.packet->data, samples.data(), samplesPerFrame * 2);
      m.packet->pts = m.packet->dts = static_cast<int64_t>(i) * samplesPerFrame;
      m.packet->duration = samplesPerFrame;
      m.packet->stream_index = m.sound->index;
      if (av_interleaved_write_frame(m.output, m.packet) < 0) failure = "cannot write the sound";
    }
  }
  if (failure.empty() && !m.Drain(nullptr)) failure = "the encoder failed at the end";
  if (failure.empty() && av_write_trailer(m.output) < 0) failure = "cannot finish the file";
  sws_freeContext(scaler);
  av_frame_free(&frame);
  return failure;
}

// FFmpeg's decode of every frame of the file's video stream, in the order it
// shows them, as BGRX (alpha 255).
inline std::vector<Frame> DecodeClip(const std::string& path) {
  std::vector<Frame> frames;
  AVFormatContext* input = nullptr;
  if (avformat_open_input(&input, path.c_str(), nullptr, nullptr) < 0) return frames;
  avformat_find_stream_info(input, nullptr);
  const int stream = av_find_best_stream(input, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
  const AVCodecParameters* parameters = input->streams[stream]->codecpar;
  const AVCodec* codec = avcodec_find_decoder(parameters->codec_id);
  AVCodecContext* decoder = avcodec_alloc_context3(codec);
  avcodec_parameters_to_context(decoder, parameters);
  avcodec_open2(decoder, codec, nullptr);
  AVPacket* packet = av_packet_alloc();
  AVFrame* frame = av_frame_alloc();
  AVFrame* converted = av_frame_alloc();
  converted->format = AV_PIX_FMT_BGRA;
  converted->width = parameters->width + 64;
  converted->height = parameters->height;
  av_frame_get_buffer(converted, 0);
  SwsContext* scaler = nullptr;
  auto receive = [&] {
    while (avcodec_receive_frame(decoder, frame) == 0) {
      scaler = sws_getCachedContext(scaler, frame->width, frame->height, static_cast<AVPixelFormat>(frame->format),
                                    parameters->width, parameters->height, AV_PIX_FMT_BGRA, kReferenceScaleFlags,
                                    nullptr, nullptr, nullptr);
      sws_scale(scaler, frame->data, frame->linesize, 0, frame->height, converted->data, converted->linesize);
      Frame out(static_cast<size_t>(parameters->width) * parameters->height * 4);
      for (int y = 0; y < parameters->height; ++y)
        std::memcpy(&out[static_cast<size_t>(y) * parameters->width * 4], converted->data[0] + y * converted->linesize[0],
                    static_cast<size_t>(parameters->width) * 4);
      for (size_t a = 3; a < out.size(); a += 4) out[a] = 255;
      frames.push_back(std::move(out));
    }
  };
  while (av_read_frame(input, packet) >= 0) {
    if (packet->stream_index == stream && packet->size > 0) {
      avcodec_send_packet(decoder, packet);
      receive();
    }
    av_packet_unref(packet);
  }
  avcodec_send_packet(decoder, nullptr);
  receive();
  sws_freeContext(scaler);
  av_frame_free(&converted);
  av_frame_free(&frame);
  av_packet_free(&packet);
  avcodec_free_context(&decoder);
  avformat_close_input(&input);
  return frames;
}

// Rows of `width` 32-bit pixels `pitch` bytes apart, starting on a 64-byte
// boundary as locked surfaces do, with guard bytes around and between them
// that a reader must leave alone. Less than 64 bytes after the last row an
// inaccessible page begins, so any access well past it faults at once, from
// FFmpeg's vector code too, which no sanitizer sees into.
class GuardedRows {
 public:
  static constexpr uint8_t kGuard = 0xA5;
  static constexpr size_t kGuardBytes = 64;

  GuardedRows(int width, int height, int pitch)
      : width_(width), height_(height), pitch_(pitch),
        rowBytes_(static_cast<size_t>(pitch) * (height - 1) + static_cast<size_t>(width) * 4),
        used_(kGuardBytes + (rowBytes_ + kGuardBytes - 1) / kGuardBytes * kGuardBytes) {
    const size_t page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
    mapped_ = (used_ + page - 1) / page * page + page;
    void* base = mmap(nullptr, mapped_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    base_ = static_cast<uint8_t*>(base);
    mprotect(base_ + mapped_ - page, page, PROT_NONE);
    start_ = base_ + mapped_ - page - used_;
    std::memset(start_, kGuard, used_);
  }
  ~GuardedRows() { munmap(base_, mapped_); }
  GuardedRows(const GuardedRows&) = delete;
  GuardedRows& operator=(const GuardedRows&) = delete;

  uint8_t* Pixels() { return start_ + kGuardBytes; }
  int Pitch() const { return pitch_; }

  // The rows packed, to compare with a decoded Frame.
  Frame Rows() const {
    Frame out(static_cast<size_t>(width_) * height_ * 4);
    for (int y = 0; y < height_; ++y)
      std::memcpy(&out[static_cast<size_t>(y) * width_ * 4], Row(y), static_cast<size_t>(width_) * 4);
    return out;
  }

  // Copies a picture of the same size into the rows.
  void Fill(const Picture& picture) {
    for (int y = 0; y < height_; ++y)
      std::memcpy(start_ + kGuardBytes + static_cast<size_t>(y) * pitch_, picture.At(0, y),
                  static_cast<size_t>(width_) * 4);
  }

  // How many guard bytes were overwritten.
  int Trampled() const {
    int count = 0;
    for (size_t i = 0; i < used_; ++i) {
      const size_t offset = i - kGuardBytes;
      const bool inRow =
          i >= kGuardBytes && offset < rowBytes_ && offset % pitch_ < static_cast<size_t>(width_) * 4;
      if (!inRow && start_[i] != kGuard) ++count;
    }
    return count;
  }

 private:
  const uint8_t* Row(int y) const { return start_ + kGuardBytes + static_cast<size_t>(y) * pitch_; }

  int width_, height_, pitch_;
  size_t rowBytes_;
  size_t used_;
  size_t mapped_ = 0;
  uint8_t* base_ = nullptr;
  uint8_t* start_ = nullptr;
};

}  // namespace media::testing
