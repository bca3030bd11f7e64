#include "platform/media/video_stream_reader.h"

#include <cstdlib>

#include "ffmpeg_support.h"

namespace media {
namespace {

class FfmpegVideoStreamReader final : public VideoStreamReader {
 public:
  bool Open(const std::string& path, std::string* error) {
    input_ = ffmpeg::OpenInput(path, AVMEDIA_TYPE_VIDEO, &streamIndex_, error);
    if (!input_) return false;
    if (streamIndex_ < 0) {
      *error = path + " has no video stream";
      return false;
    }
    for (unsigned i = 0; i < input_->nb_streams; ++i)
      if (static_cast<int>(i) != streamIndex_) input_->streams[i]->discard = AVDISCARD_ALL;
    stream_ = input_->streams[streamIndex_];
    decoder_ = ffmpeg::OpenDecoder(stream_, error);
    if (!decoder_) return false;

    AVRational rate = stream_->avg_frame_rate;
    if (rate.num <= 0 || rate.den <= 0) rate = stream_->r_frame_rate;
    if (rate.num <= 0 || rate.den <= 0) {
      *error = path + " gives no frame rate";
      return false;
    }
    if (stream_->codecpar->width <= 0 || stream_->codecpar->height <= 0) {
      *error = path + " gives no frame size";
      return false;
    }
    frameDuration_ = AVRational{rate.den, rate.num};
    startTime_ = stream_->start_time == AV_NOPTS_VALUE ? 0 : stream_->start_time;

    frame_.reset(av_frame_alloc());
    packet_.reset(av_packet_alloc());
    if (!frame_ || !packet_) {
      *error = "out of memory";
      return false;
    }
    info_.width = stream_->codecpar->width;
    info_.height = stream_->codecpar->height;
    info_.frameRate = Rational{rate.num, rate.den};
    info_.fourcc = stream_->codecpar->codec_tag;
    info_.codecName = decoder_->codec->name;
    info_.frameCount = stream_->nb_frames > 0 ? stream_->nb_frames : CountFrames();
    if (info_.frameCount <= 0) {
      *error = path + " holds no video frames";
      return false;
    }
    return true;
  }

  const VideoStreamInfo& Info() const override { return info_; }

  bool ReadFrame(int64_t index, uint8_t* pixels, int pitch, PixelOrder order) override {
    if (index < 0 || index >= info_.frameCount || !pixels || std::abs(pitch) < info_.width * 4) return false;
    if (!haveFrame_ || index != currentIndex_) {
      bool decodeOn = haveFrame_ && index > currentIndex_ && KeyFrameAtOrBefore(index) <= currentIndex_;
      if (!decodeOn && !Seek(index)) return false;
      if (!DecodeUntil(index)) return false;
    }
    return Convert(pixels, pitch, order);
  }

 private:
  int64_t TimestampOf(int64_t index) const {
    return startTime_ + av_rescale_q(index, frameDuration_, stream_->time_base);
  }

  int64_t IndexOf(int64_t timestamp) const {
    return av_rescale_q_rnd(timestamp - startTime_, stream_->time_base, frameDuration_, AV_ROUND_NEAR_INF);
  }

  // The frame a seek towards `index` would land on, from the file's index;
  // -1 when the file has none (decoding on is then the only way forward).
  int64_t KeyFrameAtOrBefore(int64_t index) const {
    if (avformat_index_get_entries_count(stream_) <= 0) return -1;
    const AVIndexEntry* entry =
        avformat_index_get_entry_from_timestamp(stream_, TimestampOf(index), AVSEEK_FLAG_BACKWARD);
    return entry ? IndexOf(entry->timestamp) : -1;
  }

  int64_t CountFrames() {
    int64_t count = 0;
    while (av_read_frame(input_.get(), packet_.get()) >= 0) {
      if (packet_->stream_index == streamIndex_) ++count;
      av_packet_unref(packet_.get());
    }
    av_seek_frame(input_.get(), streamIndex_, startTime_, AVSEEK_FLAG_BACKWARD);
    return count;
  }

  bool Seek(int64_t index) {
    haveFrame_ = false;
    endOfFile_ = false;
    int64_t landing = KeyFrameAtOrBefore(index);
    if (av_seek_frame(input_.get(), streamIndex_, TimestampOf(index), AVSEEK_FLAG_BACKWARD) < 0) {
      if (av_seek_frame(input_.get(), streamIndex_, startTime_, AVSEEK_FLAG_BACKWARD) < 0) return false;
      landing = 0;
    }
    avcodec_flush_buffers(decoder_.get());
    nextGuess_ = landing < 0 ? 0 : landing;
    return true;
  }

  // Decodes frames until the one at `target` (or the first after it, where
  // the file skips frames) is in frame_.
  bool DecodeUntil(int64_t target) {
    for (;;) {
      int result = avcodec_receive_frame(decoder_.get(), frame_.get());
      if (result == 0) {
        int64_t timestamp = frame_->best_effort_timestamp;
        currentIndex_ = timestamp == AV_NOPTS_VALUE ? nextGuess_ : IndexOf(timestamp);
        nextGuess_ = currentIndex_ + 1;
        haveFrame_ = true;
        if (currentIndex_ >= target) return true;
        continue;
      }
      if (result != AVERROR(EAGAIN)) {
        haveFrame_ = false;
        return false;
      }
      if (!FeedDecoder()) return false;
    }
  }

  bool FeedDecoder() {
    if (endOfFile_) return false;
    for (;;) {
      int result = av_read_frame(input_.get(), packet_.get());
      if (result < 0) {
        endOfFile_ = true;
        avcodec_send_packet(decoder_.get(), nullptr);
        return true;
      }
      bool ours = packet_->stream_index == streamIndex_;
      // A damaged packet is dropped; the decoder goes on with the next.
      if (ours) result = avcodec_send_packet(decoder_.get(), packet_.get());
      av_packet_unref(packet_.get());
      if (ours && result >= 0) return true;
    }
  }

  bool Convert(uint8_t* pixels, int pitch, PixelOrder order) {
    auto source = static_cast<AVPixelFormat>(frame_->format);
    AVPixelFormat target = order == PixelOrder::BGRX ? AV_PIX_FMT_BGRA : AV_PIX_FMT_RGBA;
    scaler_.reset(sws_getCachedContext(scaler_.release(), frame_->width, frame_->height, source, info_.width,
                                       info_.height, target, SWS_BILINEAR, nullptr, nullptr, nullptr));
    if (!scaler_) return false;
    uint8_t* planes[4] = {pixels, nullptr, nullptr, nullptr};
    const int pitches[4] = {pitch, 0, 0, 0};
    sws_scale(scaler_.get(), frame_->data, frame_->linesize, 0, frame_->height, planes, pitches);
    // Frames are opaque whatever the file stored in an alpha channel (and
    // the converter leaves it unwritten for sources without one).
    for (int y = 0; y < info_.height; ++y) {
      uint8_t* row = pixels + static_cast<ptrdiff_t>(y) * pitch;
      for (int x = 0; x < info_.width; ++x) row[x * 4 + 3] = 255;
    }
    return true;
  }

  ffmpeg::InputPtr input_;
  int streamIndex_ = -1;
  AVStream* stream_ = nullptr;
  ffmpeg::CodecPtr decoder_;
  ffmpeg::FramePtr frame_;
  ffmpeg::PacketPtr packet_;
  ffmpeg::ScalerPtr scaler_;
  AVRational frameDuration_{1, 1};
  int64_t startTime_ = 0;
  VideoStreamInfo info_;
  bool haveFrame_ = false;
  bool endOfFile_ = false;
  int64_t currentIndex_ = -1;
  int64_t nextGuess_ = 0;
};

}  // namespace

std::unique_ptr<VideoStreamReader> OpenVideoStream(const std::string& path, std::string* error) {
  auto reader = std::make_unique<FfmpegVideoStreamReader>();
  std::string reason;
  if (!reader->Open(path, &reason)) {
    if (error) *error = reason;
    return nullptr;
  }
  return reader;
}

}  // namespace media
