#include "platform/media/audio_stream_reader.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "ffmpeg_support.h"

extern "C" {
#include <libavutil/channel_layout.h>
}

namespace media {
namespace {

class FfmpegAudioStreamReader final : public AudioStreamReader {
 public:
  ~FfmpegAudioStreamReader() override { av_channel_layout_uninit(&outputLayout_); }

  AudioOpenResult Open(const std::string& path, std::string* error) {
    input_ = ffmpeg::OpenInput(path, AVMEDIA_TYPE_AUDIO, &streamIndex_, error);
    if (!input_) return AudioOpenResult::Failed;
    if (streamIndex_ < 0) return AudioOpenResult::NoAudioStream;
    for (unsigned i = 0; i < input_->nb_streams; ++i)
      if (static_cast<int>(i) != streamIndex_) input_->streams[i]->discard = AVDISCARD_ALL;
    stream_ = input_->streams[streamIndex_];
    decoder_ = ffmpeg::OpenDecoder(stream_, error);
    if (!decoder_) return AudioOpenResult::Failed;

    const int rate = stream_->codecpar->sample_rate;
    const int channels = stream_->codecpar->ch_layout.nb_channels;
    if (rate <= 0 || channels <= 0) {
      *error = path + " has an audio stream without a usable format";
      return AudioOpenResult::Failed;
    }
    av_channel_layout_default(&outputLayout_, channels);
    sampleTime_ = AVRational{1, rate};
    startTime_ = stream_->start_time == AV_NOPTS_VALUE ? 0 : stream_->start_time;
    frame_.reset(av_frame_alloc());
    packet_.reset(av_packet_alloc());
    if (!frame_ || !packet_) {
      *error = "out of memory";
      return AudioOpenResult::Failed;
    }
    info_.sampleRate = rate;
    info_.channels = channels;
    info_.bitsPerSample = 16;
    info_.blockAlign = 2 * channels;
    info_.length = stream_->duration > 0 ? av_rescale_q(stream_->duration, stream_->time_base, sampleTime_)
                                         : CountSamples();
    Seek(0);
    return AudioOpenResult::Opened;
  }

  const AudioStreamInfo& Info() const override { return info_; }

  int64_t Read(int64_t first, int64_t count, void* out) override {
    if (first < 0 || count <= 0 || !out || first >= info_.length) return 0;
    if (first != position_) Seek(first);
    auto* bytes = static_cast<uint8_t*>(out);
    int64_t copied = 0;
    while (copied < count) {
      const int64_t ready = static_cast<int64_t>(pending_.size()) / info_.channels - pendingOffset_;
      if (ready > 0) {
        const int64_t take = std::min(ready, count - copied);
        std::memcpy(bytes + copied * info_.blockAlign, pending_.data() + pendingOffset_ * info_.channels,
                    static_cast<size_t>(take * info_.blockAlign));
        pendingOffset_ += take;
        position_ += take;
        copied += take;
        continue;
      }
      pending_.clear();
      pendingOffset_ = 0;
      if (!DecodeMore()) break;
    }
    return copied;
  }

 private:
  int64_t SampleOf(int64_t timestamp) const {
    return av_rescale_q_rnd(timestamp - startTime_, stream_->time_base, sampleTime_, AV_ROUND_NEAR_INF);
  }

  int64_t CountSamples() {
    Seek(0);
    int64_t total = 0;
    while (DecodeMore()) {
      total += static_cast<int64_t>(pending_.size()) / info_.channels;
      pending_.clear();
    }
    return total;
  }

  void Seek(int64_t sample) {
    int64_t timestamp = startTime_ + av_rescale_q(sample, sampleTime_, stream_->time_base);
    if (av_seek_frame(input_.get(), streamIndex_, timestamp, AVSEEK_FLAG_BACKWARD) < 0)
      av_seek_frame(input_.get(), streamIndex_, startTime_, AVSEEK_FLAG_BACKWARD);
    avcodec_flush_buffers(decoder_.get());
    resampler_.reset();
    pending_.clear();
    pendingOffset_ = 0;
    position_ = sample;
    decodedPosition_ = -1;
    endOfFile_ = false;
  }

  // Decodes the next frame into pending_, dropping what lies before the
  // read position. False at the end of the stream.
  bool DecodeMore() {
    for (;;) {
      int result = avcodec_receive_frame(decoder_.get(), frame_.get());
      if (result == 0) {
        if (!AppendFrame()) return false;
        if (!pending_.empty()) return true;
        continue;
      }
      if (result != AVERROR(EAGAIN) || !FeedDecoder()) return false;
    }
  }

  bool AppendFrame() {
    if (decodedPosition_ < 0) {
      int64_t timestamp = frame_->best_effort_timestamp;
      decodedPosition_ = timestamp == AV_NOPTS_VALUE ? position_ : SampleOf(timestamp);
    }
    if (!resampler_) {
      SwrContext* raw = nullptr;
      if (swr_alloc_set_opts2(&raw, &outputLayout_, AV_SAMPLE_FMT_S16, info_.sampleRate, &frame_->ch_layout,
                              static_cast<AVSampleFormat>(frame_->format), frame_->sample_rate, 0, nullptr) < 0)
        return false;
      resampler_.reset(raw);
      if (swr_init(raw) < 0) return false;
    }
    const int room = swr_get_out_samples(resampler_.get(), frame_->nb_samples);
    if (room <= 0) return true;
    std::vector<int16_t> converted(static_cast<size_t>(room) * info_.channels);
    uint8_t* planes[1] = {reinterpret_cast<uint8_t*>(converted.data())};
    const int made = swr_convert(resampler_.get(), planes, room, const_cast<const uint8_t**>(frame_->extended_data),
                                 frame_->nb_samples);
    if (made < 0) return false;
    const int64_t skip = std::clamp<int64_t>(position_ - decodedPosition_, 0, made);
    decodedPosition_ += made;
    pending_.insert(pending_.end(), converted.begin() + skip * info_.channels,
                    converted.begin() + static_cast<int64_t>(made) * info_.channels);
    return true;
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
      if (ours) result = avcodec_send_packet(decoder_.get(), packet_.get());
      av_packet_unref(packet_.get());
      if (ours && result >= 0) return true;
    }
  }

  ffmpeg::InputPtr input_;
  int streamIndex_ = -1;
  AVStream* stream_ = nullptr;
  ffmpeg::CodecPtr decoder_;
  ffmpeg::FramePtr frame_;
  ffmpeg::PacketPtr packet_;
  ffmpeg::ResamplerPtr resampler_;
  AVChannelLayout outputLayout_{};
  AVRational sampleTime_{1, 1};
  int64_t startTime_ = 0;
  AudioStreamInfo info_;
  std::vector<int16_t> pending_;  // decoded samples from position_ on
  int64_t pendingOffset_ = 0;     // samples of pending_ already handed out
  int64_t position_ = 0;          // where the next Read continues
  int64_t decodedPosition_ = -1;  // sample the decoder hands out next; -1 just after a seek
  bool endOfFile_ = false;
};

}  // namespace

std::unique_ptr<AudioStreamReader> OpenAudioStream(const std::string& path, AudioOpenResult* result,
                                                   std::string* error) {
  auto reader = std::make_unique<FfmpegAudioStreamReader>();
  std::string reason;
  AudioOpenResult opened = reader->Open(path, &reason);
  if (result) *result = opened;
  if (opened != AudioOpenResult::Opened) {
    if (error) *error = reason;
    return nullptr;
  }
  return reader;
}

}  // namespace media
