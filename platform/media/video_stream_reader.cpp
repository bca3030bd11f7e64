#include "platform/media/video_stream_reader.h"

#include <cstdlib>
#include <cstring>
#include <deque>
#include <utility>

#include "ffmpeg_support.h"

namespace media {
namespace {

// Frames are converted at their own size into 32-bit RGB with these flags.
constexpr int kConvertFlags = SWS_BILINEAR | SWS_ACCURATE_RND;

// The converter's vector code writes whole blocks of pixels past the end of
// a row; the frame it converts into has rows padded to this many pixels, so
// only the copy into the caller's rows decides what is written there.
constexpr int kConvertedRowAlignment = 64;

// Up to this many frames ahead, decoding on beats seeking: a key frame just
// ahead can be shown after frames that need the group before it.
constexpr int64_t kDecodeOnFrames = 16;

// A packet handed to a decoder that reorders frames: its place in the file
// and whether it holds a picture shown before the one it follows.
struct SentPacket {
  int64_t index;
  bool bidirectional;
};

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
    next_.reset(av_frame_alloc());
    packet_.reset(av_packet_alloc());
    if (!frame_ || !next_ || !packet_) {
      *error = "out of memory";
      return false;
    }
    if (!OpenParser()) {
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
      const bool ahead = haveFrame_ && index > currentIndex_;
      const bool decodeOn =
          ahead && (index - currentIndex_ <= kDecodeOnFrames || KeyFrameAtOrBefore(index) <= currentIndex_);
      if (decodeOn ? !DecodeUntil(index) : !SeekTo(index)) return false;
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

  // AVI keeps frames in the order they are decoded and gives no times to
  // show them by, so where a codec reorders, each packet's picture type
  // tells where its frame belongs. False only when memory runs out.
  bool OpenParser() {
    const AVCodecDescriptor* descriptor = avcodec_descriptor_get(stream_->codecpar->codec_id);
    reorders_ = descriptor && (descriptor->props & AV_CODEC_PROP_REORDER);
    if (!reorders_) return true;
    parser_.reset(av_parser_init(stream_->codecpar->codec_id));
    if (!parser_) {
      reorders_ = false;  // no way to tell: frames are taken in file order
      return true;
    }
    parser_->flags |= PARSER_FLAG_COMPLETE_FRAMES;
    parserContext_.reset(avcodec_alloc_context3(nullptr));
    return parserContext_ && avcodec_parameters_to_context(parserContext_.get(), stream_->codecpar) >= 0;
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

  // Seeks to the key frame before `index` and decodes up to it. A key frame
  // that frames shown before it follow in the file (an open group of
  // pictures) can lie past `index` in showing order: the key frame before it
  // is tried then.
  bool SeekTo(int64_t index) {
    int64_t timestamp = TimestampOf(index);
    for (;;) {
      if (av_seek_frame(input_.get(), streamIndex_, timestamp, AVSEEK_FLAG_BACKWARD) < 0 &&
          av_seek_frame(input_.get(), streamIndex_, startTime_, AVSEEK_FLAG_BACKWARD) < 0)
        return false;
      StartDecoding();
      if (DecodeUntil(index)) return true;
      if (haveFrame_ || !havePending_ || landing_ == AV_NOPTS_VALUE || landing_ <= startTime_ ||
          landing_ > timestamp)
        return false;
      timestamp = landing_ - 1;
    }
  }

  void StartDecoding() {
    avcodec_flush_buffers(decoder_.get());
    av_frame_unref(frame_.get());
    av_frame_unref(next_.get());
    haveFrame_ = false;
    havePending_ = false;
    endOfFile_ = false;
    anchored_ = false;
    lastIndex_ = -1;
    landing_ = AV_NOPTS_VALUE;
    sent_.clear();
  }

  // Makes frame_ the last frame at or before `target` in showing order: the
  // frame itself, or the one a skipped or empty frame repeats. The first
  // frame after it waits in next_ for the next read.
  bool DecodeUntil(int64_t target) {
    for (;;) {
      if (!havePending_) {
        int result = ReceiveNext();
        if (result == AVERROR_EOF) return haveFrame_;  // the last frame stands for any after it
        if (result < 0) return false;
      }
      if (pendingIndex_ > target) return haveFrame_;
      std::swap(frame_, next_);
      av_frame_unref(next_.get());
      currentIndex_ = pendingIndex_;
      haveFrame_ = true;
      havePending_ = false;
      if (currentIndex_ == target) return true;
    }
  }

  // Decodes the next frame in showing order into next_ and places it; an
  // FFmpeg error code (AVERROR_EOF at the end of the stream) when there is
  // none.
  int ReceiveNext() {
    for (;;) {
      int result = avcodec_receive_frame(decoder_.get(), next_.get());
      if (result == 0) {
        if (Place(&pendingIndex_)) {
          havePending_ = true;
          return 0;
        }
        av_frame_unref(next_.get());
        continue;
      }
      if (result != AVERROR(EAGAIN)) return result;
      if (!FeedDecoder()) return AVERROR_EOF;
    }
  }

  // The index of the frame just decoded into next_. Its pts is the file
  // position of the packet that held it. False for a frame to drop: one
  // shown before the key frame a seek landed on, whose references lie
  // before that key frame.
  bool Place(int64_t* index) {
    const int64_t carrier = next_->pts == AV_NOPTS_VALUE ? -1 : IndexOf(next_->pts);
    if (!reorders_) {
      *index = carrier >= 0 ? carrier : lastIndex_ + 1;
    } else {
      auto held = sent_.end();
      for (auto it = sent_.begin(); it != sent_.end(); ++it)
        if (it->index == carrier) held = it;
      if (held != sent_.end() && !held->bidirectional) {
        // The frames that follow a reference frame in the file up to the
        // next one are shown before it.
        int64_t shownBefore = 0;
        for (auto it = held + 1; it != sent_.end() && it->bidirectional; ++it) ++shownBefore;
        *index = carrier + shownBefore;
        anchored_ = true;
        sent_.erase(sent_.begin(), held);
      } else {
        // Frames come out in showing order: a bidirectional one is the next.
        if (!anchored_) return false;
        *index = lastIndex_ + 1;
      }
    }
    lastIndex_ = *index;
    return true;
  }

  bool IsBidirectional(const AVPacket& packet) {
    uint8_t* data = nullptr;
    int size = 0;
    av_parser_parse2(parser_.get(), parserContext_.get(), &data, &size, packet.data, packet.size, AV_NOPTS_VALUE,
                     AV_NOPTS_VALUE, 0);
    return parser_->pict_type == AV_PICTURE_TYPE_B;
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
      // An empty chunk repeats the frame before it; handed to the decoder
      // it would end the stream.
      bool ours = packet_->stream_index == streamIndex_ && packet_->size > 0;
      if (ours) {
        if (landing_ == AV_NOPTS_VALUE) landing_ = packet_->dts;
        // The file position travels with the picture through the decoder.
        packet_->pts = packet_->dts;
        const bool bidirectional = reorders_ && IsBidirectional(*packet_);
        // A damaged packet is dropped; the decoder goes on with the next.
        result = avcodec_send_packet(decoder_.get(), packet_.get());
        if (result >= 0 && reorders_) sent_.push_back({IndexOf(packet_->pts), bidirectional});
      }
      av_packet_unref(packet_.get());
      if (ours && result >= 0) return true;
    }
  }

  // Converts frame_ into a frame of our own and copies exactly the caller's
  // rows: the converter writes past the width it is given.
  bool Convert(uint8_t* pixels, int pitch, PixelOrder order) {
    auto source = static_cast<AVPixelFormat>(frame_->format);
    AVPixelFormat target = order == PixelOrder::BGRX ? AV_PIX_FMT_BGRA : AV_PIX_FMT_RGBA;
    if (!converted_ || converted_->format != target) {
      converted_.reset(av_frame_alloc());
      if (!converted_) return false;
      converted_->format = target;
      converted_->width = FFALIGN(info_.width, kConvertedRowAlignment);
      converted_->height = info_.height;
      if (av_frame_get_buffer(converted_.get(), 0) < 0) {
        converted_.reset();
        return false;
      }
    }
    scaler_.reset(sws_getCachedContext(scaler_.release(), frame_->width, frame_->height, source, info_.width,
                                       info_.height, target, kConvertFlags, nullptr, nullptr, nullptr));
    if (!scaler_) return false;
    if (sws_scale(scaler_.get(), frame_->data, frame_->linesize, 0, frame_->height, converted_->data,
                  converted_->linesize) <= 0)
      return false;
    const size_t rowBytes = static_cast<size_t>(info_.width) * 4;
    for (int y = 0; y < info_.height; ++y) {
      uint8_t* row = pixels + static_cast<ptrdiff_t>(y) * pitch;
      std::memcpy(row, converted_->data[0] + static_cast<ptrdiff_t>(y) * converted_->linesize[0], rowBytes);
      // Frames are opaque whatever the file stored in an alpha channel (and
      // the converter leaves it unwritten for sources without one).
      for (size_t x = 3; x < rowBytes; x += 4) row[x] = 255;
    }
    return true;
  }

  ffmpeg::InputPtr input_;
  int streamIndex_ = -1;
  AVStream* stream_ = nullptr;
  ffmpeg::CodecPtr decoder_;
  ffmpeg::ParserPtr parser_;
  ffmpeg::CodecPtr parserContext_;
  ffmpeg::FramePtr frame_;      // the frame at currentIndex_
  ffmpeg::FramePtr next_;       // the one after it, once decoded
  ffmpeg::FramePtr converted_;  // frame_ as 32-bit RGB
  ffmpeg::PacketPtr packet_;
  ffmpeg::ScalerPtr scaler_;
  AVRational frameDuration_{1, 1};
  int64_t startTime_ = 0;
  VideoStreamInfo info_;
  bool reorders_ = false;  // the codec can show frames out of file order, and its parser tells which
  bool haveFrame_ = false;
  bool havePending_ = false;
  bool endOfFile_ = false;
  bool anchored_ = false;  // a reference frame has come out since the seek
  int64_t currentIndex_ = -1;
  int64_t pendingIndex_ = -1;
  int64_t lastIndex_ = -1;
  int64_t landing_ = AV_NOPTS_VALUE;  // timestamp of the first packet read since the seek
  std::deque<SentPacket> sent_;
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
