#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <vector>

#include "ffmpeg_support.h"
#include "platform/media/video_file_writer.h"
#include "uncompressed_avi_header.h"

extern "C" {
#include <libavutil/opt.h>
}

namespace media {
namespace {

constexpr int kMaxSide = 16384;
constexpr int kDefaultQuality = 75;  // what compressors offer when the user picks nothing
constexpr int kRowAlignment = 64;    // pixels each row of the converter's input is padded to

struct OutputCloser {
  void operator()(AVFormatContext* context) const {
    if (context->pb) avio_closep(&context->pb);
    avformat_free_context(context);
  }
};
using OutputPtr = std::unique_ptr<AVFormatContext, OutputCloser>;

// Bytes per row of an uncompressed 24-bit frame: rows are padded to 4 bytes.
int UncompressedStride(int width) { return (width * 3 + 3) & ~3; }

AVPixelFormat SourceFormat(PixelOrder order) {
  return order == PixelOrder::BGRX ? AV_PIX_FMT_BGR0 : AV_PIX_FMT_RGB0;
}

// Lossy encoders get plain 4:2:0, which every player decodes; lossless ones
// the closest format to the 8-bit RGB we hand them.
AVPixelFormat ChoosePixelFormat(const AVCodec* codec) {
  if (!codec->pix_fmts) return AV_PIX_FMT_NONE;
  const AVCodecDescriptor* descriptor = avcodec_descriptor_get(codec->id);
  if (descriptor && (descriptor->props & AV_CODEC_PROP_LOSSY)) {
    for (const AVPixelFormat* format = codec->pix_fmts; *format != AV_PIX_FMT_NONE; ++format)
      if (*format == AV_PIX_FMT_YUV420P || *format == AV_PIX_FMT_YUVJ420P) return *format;
  }
  return avcodec_find_best_pix_fmt_of_list(codec->pix_fmts, AV_PIX_FMT_BGR0, 0, nullptr);
}

// Quality 0..100 as a quantiser scale 31..1 (lower is better).
int QuantiserFor(int quality) { return 31 - static_cast<int>(std::lround(quality * 30 / 100.0)); }

// x264's constant rate factor: 51 (worst) .. 0 (best).
double RateFactorFor(int quality) { return 51.0 - quality * 51.0 / 100.0; }

class AviWriter final : public VideoFileWriter {
 public:
  AviWriter(std::string path, const VideoFileFormat& format)
      : path_(std::move(path)), tempPath_(path_ + ".partial"), format_(format) {}

  ~AviWriter() override {
    if (!closed_) Discard();
  }

  bool Create(const CompressorChoice& choice) {
    if (format_.width <= 0 || format_.height <= 0 || format_.width > kMaxSide || format_.height > kMaxSide)
      return Fail("frame size " + std::to_string(format_.width) + " x " + std::to_string(format_.height) +
                  " is not usable");
    if (format_.frameRate.num <= 0 || format_.frameRate.den <= 0) return Fail("the frame rate is not usable");
    if (!FindVideoEncoder(choice.encoder)) return Fail("no compressor named \"" + choice.encoder + "\"");

    AVFormatContext* raw = nullptr;
    int result = avformat_alloc_output_context2(&raw, nullptr, "avi", tempPath_.c_str());
    if (result < 0 || !raw) return Fail("cannot make an AVI file: " + ffmpeg::ErrorText(result));
    output_.reset(raw);
    stream_ = avformat_new_stream(output_.get(), nullptr);
    if (!stream_) return Fail("out of memory");
    frameTimeBase_ = AVRational{format_.frameRate.den, format_.frameRate.num};
    stream_->time_base = frameTimeBase_;
    stream_->avg_frame_rate = AVRational{format_.frameRate.num, format_.frameRate.den};

    uncompressed_ = choice.encoder == "rawvideo";
    if (uncompressed_) {
      AVCodecParameters* parameters = stream_->codecpar;
      parameters->codec_type = AVMEDIA_TYPE_VIDEO;
      parameters->codec_id = AV_CODEC_ID_RAWVIDEO;
      parameters->codec_tag = 0;
      parameters->format = AV_PIX_FMT_BGR24;
      parameters->bits_per_coded_sample = 24;
      parameters->width = format_.width;
      parameters->height = format_.height;
      rawFrame_.resize(static_cast<size_t>(UncompressedStride(format_.width)) * format_.height);
    } else if (!OpenEncoder(choice)) {
      return false;
    }

    packet_.reset(av_packet_alloc());
    if (!packet_) return Fail("out of memory");
    result = avio_open(&output_->pb, tempPath_.c_str(), AVIO_FLAG_WRITE);
    if (result < 0) return Fail("cannot create " + path_ + ": " + ffmpeg::ErrorText(result));
    result = avformat_write_header(output_.get(), nullptr);
    if (result < 0) return Fail("cannot write the AVI header: " + ffmpeg::ErrorText(result));
    return true;
  }

  bool WriteFrame(const uint8_t* pixels, int stride, PixelOrder order) override {
    if (closed_) return Fail("the file is closed");
    if (failed_) return false;
    if (!pixels || std::abs(stride) < format_.width * 4) {
      lastError_ = "a frame needs " + std::to_string(format_.width) + " pixels of 4 bytes per row";
      return false;
    }
    bool written = uncompressed_ ? WriteUncompressed(pixels, stride, order) : Encode(pixels, stride, order);
    if (written) ++frames_;
    return written;
  }

  bool Close() override {
    if (closed_) return !failed_;
    closed_ = true;
    if (!failed_ && encoder_) SendToEncoder(nullptr);
    if (!failed_) {
      int result = av_write_trailer(output_.get());
      if (result < 0) Fail("cannot finish the AVI file: " + ffmpeg::ErrorText(result));
    }
    if (!failed_ && output_->pb->error < 0) Fail("cannot write " + path_ + ": " + ffmpeg::ErrorText(output_->pb->error));
    int closeResult = avio_closep(&output_->pb);
    if (!failed_ && closeResult < 0) Fail("cannot write " + path_ + ": " + ffmpeg::ErrorText(closeResult));
    if (!failed_ && uncompressed_ && !MarkBottomUpFrames(tempPath_, UncompressedStride(format_.width)))
      Fail("cannot finish the AVI header of " + path_);
    if (failed_) {
      Discard();
      return false;
    }
    std::error_code code;
    std::filesystem::rename(tempPath_, path_, code);
    if (code) {
      Fail("cannot move the finished file to " + path_ + ": " + code.message());
      Discard();
      return false;
    }
    return true;
  }

  int64_t FramesWritten() const override { return frames_; }
  int64_t BytesWritten() const override { return bytes_; }
  const std::string& LastError() const override { return lastError_; }

 private:
  bool OpenEncoder(const CompressorChoice& choice) {
    const AVCodec* codec = avcodec_find_encoder_by_name(choice.encoder.c_str());
    if (!codec) return Fail("no compressor named \"" + choice.encoder + "\"");
    AVPixelFormat pixelFormat = ChoosePixelFormat(codec);
    if (pixelFormat == AV_PIX_FMT_NONE) return Fail("the " + choice.encoder + " compressor takes no known picture format");
    encoder_.reset(avcodec_alloc_context3(codec));
    if (!encoder_) return Fail("out of memory");
    AVCodecContext* encoder = encoder_.get();
    encoder->width = format_.width;
    encoder->height = format_.height;
    encoder->pix_fmt = pixelFormat;
    encoder->time_base = frameTimeBase_;
    encoder->framerate = AVRational{format_.frameRate.num, format_.frameRate.den};
    encoder->sample_aspect_ratio = AVRational{1, 1};
    // AVI carries no presentation order, so frames are never reordered.
    encoder->max_b_frames = 0;
    encoder->thread_count = 0;
    if (pixelFormat == AV_PIX_FMT_YUV420P) {
      encoder->color_range = AVCOL_RANGE_MPEG;
      encoder->colorspace = AVCOL_SPC_BT470BG;
    }
    if (choice.keyFrameEvery > 0) encoder->gop_size = choice.keyFrameEvery;
    ApplyQuality(choice);
    if (output_->oformat->flags & AVFMT_GLOBALHEADER) encoder->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;

    int result = avcodec_open2(encoder, codec, nullptr);
    if (result < 0)
      return Fail("the " + choice.encoder + " compressor does not take " + std::to_string(format_.width) + " x " +
                  std::to_string(format_.height) + " frames: " + ffmpeg::ErrorText(result));
    result = avcodec_parameters_from_context(stream_->codecpar, encoder);
    if (result < 0) return Fail("cannot describe the video stream: " + ffmpeg::ErrorText(result));

    frame_.reset(av_frame_alloc());
    if (!frame_) return Fail("out of memory");
    frame_->format = pixelFormat;
    frame_->width = format_.width;
    frame_->height = format_.height;
    result = av_frame_get_buffer(frame_.get(), 0);
    if (result < 0) return Fail("out of memory");
    return true;
  }

  void ApplyQuality(const CompressorChoice& choice) {
    const VideoEncoderInfo* info = FindVideoEncoder(choice.encoder);
    AVCodecContext* encoder = encoder_.get();
    bool useDataRate = info->hasDataRate && choice.dataRateKBps > 0 && choice.quality < 0;
    if (useDataRate) {
      encoder->bit_rate = static_cast<int64_t>(choice.dataRateKBps) * 1024 * 8;
      return;
    }
    if (!info->hasQuality) return;
    if (choice.encoder == "libx264") {
      if (choice.quality >= 0) av_opt_set_double(encoder->priv_data, "crf", RateFactorFor(std::min(choice.quality, 100)), 0);
      return;
    }
    int quality = choice.quality >= 0 ? std::min(choice.quality, 100) : kDefaultQuality;
    encoder->flags |= AV_CODEC_FLAG_QSCALE;
    encoder->global_quality = FF_QP2LAMBDA * QuantiserFor(quality);
  }

  // Uncompressed frames are stored the way a 24-bit bitmap is: bottom row
  // first, rows padded to 4 bytes.
  bool WriteUncompressed(const uint8_t* pixels, int stride, PixelOrder order) {
    const int stride24 = UncompressedStride(format_.width);
    const bool swap = order == PixelOrder::RGBX;
    for (int y = 0; y < format_.height; ++y) {
      const uint8_t* source = pixels + static_cast<ptrdiff_t>(y) * stride;
      uint8_t* row = rawFrame_.data() + static_cast<size_t>(format_.height - 1 - y) * stride24;
      for (int x = 0; x < format_.width; ++x, source += 4, row += 3) {
        row[0] = swap ? source[2] : source[0];
        row[1] = source[1];
        row[2] = swap ? source[0] : source[2];
      }
    }
    int result = av_new_packet(packet_.get(), static_cast<int>(rawFrame_.size()));
    if (result < 0) return Fail("out of memory");
    std::memcpy(packet_->data, rawFrame_.data(), rawFrame_.size());
    packet_->pts = packet_->dts = frames_;
    packet_->duration = 1;
    packet_->flags |= AV_PKT_FLAG_KEY;
    return WritePacket(packet_.get());
  }

  bool Encode(const uint8_t* pixels, int stride, PixelOrder order) {
    if (!CopyRows(pixels, stride, order)) return Fail("out of memory");
    scaler_.reset(sws_getCachedContext(scaler_.release(), format_.width, format_.height, SourceFormat(order),
                                       format_.width, format_.height, encoder_->pix_fmt, SWS_BILINEAR, nullptr,
                                       nullptr, nullptr));
    if (!scaler_) return Fail("cannot convert frames for the compressor");
    int result = av_frame_make_writable(frame_.get());
    if (result < 0) return Fail("out of memory");
    sws_scale(scaler_.get(), rows_->data, rows_->linesize, 0, format_.height, frame_->data, frame_->linesize);
    frame_->pts = frames_;
    // Encoders with a fixed quantiser take it from each frame.
    frame_->quality = encoder_->global_quality;
    return SendToEncoder(frame_.get());
  }

  // The converter's vector code reads whole blocks of pixels past the end of
  // a row; it reads from a copy of the caller's rows with room for them.
  bool CopyRows(const uint8_t* pixels, int stride, PixelOrder order) {
    if (!rows_ || rows_->format != SourceFormat(order)) {
      rows_.reset(av_frame_alloc());
      if (!rows_) return false;
      rows_->format = SourceFormat(order);
      rows_->width = FFALIGN(format_.width, kRowAlignment);
      rows_->height = format_.height;
      if (av_frame_get_buffer(rows_.get(), 0) < 0) {
        rows_.reset();
        return false;
      }
    }
    for (int y = 0; y < format_.height; ++y)
      std::memcpy(rows_->data[0] + static_cast<ptrdiff_t>(y) * rows_->linesize[0],
                  pixels + static_cast<ptrdiff_t>(y) * stride, static_cast<size_t>(format_.width) * 4);
    return true;
  }

  // Hands a frame (or the end, for null) to the encoder and writes every
  // packet it has ready.
  bool SendToEncoder(AVFrame* frame) {
    int result = avcodec_send_frame(encoder_.get(), frame);
    if (result < 0) return Fail("the compressor refused a frame: " + ffmpeg::ErrorText(result));
    for (;;) {
      result = avcodec_receive_packet(encoder_.get(), packet_.get());
      if (result == AVERROR(EAGAIN) || result == AVERROR_EOF) return true;
      if (result < 0) return Fail("the compressor failed: " + ffmpeg::ErrorText(result));
      if (!WritePacket(packet_.get())) return false;
    }
  }

  bool WritePacket(AVPacket* packet) {
    av_packet_rescale_ts(packet, frameTimeBase_, stream_->time_base);
    packet->stream_index = stream_->index;
    const int64_t size = packet->size;
    int result = av_interleaved_write_frame(output_.get(), packet);
    av_packet_unref(packet);
    if (result < 0) return Fail("cannot write " + path_ + ": " + ffmpeg::ErrorText(result));
    bytes_ += size;
    return true;
  }

  bool Fail(const std::string& reason) {
    lastError_ = reason;
    failed_ = true;
    return false;
  }

  void Discard() {
    output_.reset();
    std::error_code ignored;
    std::filesystem::remove(tempPath_, ignored);
  }

  std::string path_;
  std::string tempPath_;
  VideoFileFormat format_;
  OutputPtr output_;
  AVStream* stream_ = nullptr;
  AVRational frameTimeBase_{1, 1};
  bool uncompressed_ = false;
  std::vector<uint8_t> rawFrame_;
  ffmpeg::CodecPtr encoder_;
  ffmpeg::FramePtr rows_;   // the caller's rows, for the converter
  ffmpeg::FramePtr frame_;  // in the compressor's format
  ffmpeg::PacketPtr packet_;
  ffmpeg::ScalerPtr scaler_;
  int64_t frames_ = 0;
  int64_t bytes_ = 0;
  bool failed_ = false;
  bool closed_ = false;
  std::string lastError_;
};

}  // namespace

std::unique_ptr<VideoFileWriter> CreateAviWriter(const std::string& path, const VideoFileFormat& format,
                                                 const CompressorChoice& choice, std::string* error) {
  ffmpeg::Initialize();
  auto writer = std::make_unique<AviWriter>(path, format);
  if (!writer->Create(choice)) {
    if (error) *error = writer->LastError();
    return nullptr;
  }
  return writer;
}

}  // namespace media
