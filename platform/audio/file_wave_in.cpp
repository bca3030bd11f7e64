#include "platform/audio/file_wave_in.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

#include "platform/audio/audio_log.h"
#include "wav_reader.h"

namespace audio {

class FileWaveIn;

// What the device list and its open device share: the list forwards
// DeliverNextBuffer to the open device, which may outlive the list.
struct FileWaveInDevices::Shared {
  std::mutex mutex;
  FileWaveIn* open = nullptr;
};

class FileWaveIn : public WaveIn {
 public:
  FileWaveIn(std::shared_ptr<FileWaveInDevices::Shared> shared, FilePacing pacing,
             WaveInCallback callback)
      : shared_(std::move(shared)), pacing_(pacing), callback_(std::move(callback)) {}

  ~FileWaveIn() override {
    StopPacer();
    std::lock_guard lock(shared_->mutex);  // waits for a delivery in progress
    if (shared_->open == this) shared_->open = nullptr;
  }

  bool OpenFile(const std::string& path) { return reader_.Open(path); }
  WavReader& reader() { return reader_; }

  void AddBuffer(WaveHeader* header) override {
    header->bytesRecorded = 0;
    {
      std::lock_guard lock(mutex_);
      queue_.push_back(header);
    }
    wake_.notify_all();
  }

  bool Start() override {
    std::lock_guard lock(mutex_);
    if (running_) return true;
    running_ = true;
    if (pacing_ == FilePacing::RealTime) {
      stopPacer_ = false;
      pacer_ = std::thread([this] { Pace(); });
    }
    return true;
  }

  void Reset() override {
    StopPacer();
    std::deque<WaveHeader*> returned;
    {
      std::lock_guard lock(mutex_);
      running_ = false;
      returned.swap(queue_);
    }
    for (WaveHeader* header : returned) callback_(header);
  }

  // Fills and returns the oldest queued buffer; false when stopped, nothing
  // is queued or the sound has ended.
  bool DeliverOne() {
    WaveHeader* header;
    {
      std::lock_guard lock(mutex_);
      if (!running_ || queue_.empty() || reader_.position() >= reader_.frameCount()) return false;
      header = queue_.front();
      queue_.pop_front();
    }
    size_t frames = reader_.ReadStereo(header->data, header->bufferLength / 4);
    header->bytesRecorded = static_cast<uint32_t>(frames * 4);
    callback_(header);
    return true;
  }

 private:
  void StopPacer() {
    {
      std::lock_guard lock(mutex_);
      stopPacer_ = true;
    }
    wake_.notify_all();
    if (pacer_.joinable()) pacer_.join();
  }

  // Returns each buffer when the sound it holds has played out in real
  // time. Sound that finds no buffer queued is skipped, as a sound card
  // would drop it.
  void Pace() {
    using Clock = std::chrono::steady_clock;
    const double rate = reader_.samplesPerSec();
    const Clock::time_point start = Clock::now();
    const uint64_t startFrame = reader_.position();
    auto frameNow = [&] {
      std::chrono::duration<double> elapsed = Clock::now() - start;
      return startFrame + static_cast<uint64_t>(elapsed.count() * rate);
    };
    std::unique_lock lock(mutex_);
    for (;;) {
      wake_.wait(lock, [&] { return stopPacer_ || !queue_.empty(); });
      if (stopPacer_) return;
      if (reader_.position() >= reader_.frameCount()) {
        wake_.wait(lock, [&] { return stopPacer_; });
        return;
      }
      uint64_t frames = queue_.front()->bufferLength / 4;
      uint64_t now = frameNow();
      if (now > reader_.position() + frames) reader_.Skip(now - frames - reader_.position());
      auto due = start + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(
                             (reader_.position() + frames - startFrame) / rate));
      if (wake_.wait_until(lock, due, [&] { return stopPacer_; })) return;
      lock.unlock();
      DeliverOne();
      lock.lock();
    }
  }

  std::shared_ptr<FileWaveInDevices::Shared> shared_;
  FilePacing pacing_;
  WaveInCallback callback_;
  WavReader reader_;  // used by the delivering thread only
  std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<WaveHeader*> queue_;
  bool running_ = false;
  bool stopPacer_ = false;
  std::thread pacer_;
};

namespace {

// The file is always delivered as stereo frames (a mono file's samples go
// to both channels), so only the stereo format of its rate is offered.
uint32_t FormatsOf(const WavReader& reader) {
  switch (reader.samplesPerSec()) {
    case 11025: return kFormat1S16;
    case 22050: return kFormat2S16;
    case 44100: return kFormat4S16;
    default: return 0;
  }
}

std::string FileNameOf(const std::string& path) {
  size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

FileWaveInDevices::FileWaveInDevices(std::string path, FilePacing pacing)
    : path_(std::move(path)), pacing_(pacing), shared_(std::make_shared<Shared>()) {}

FileWaveInDevices::~FileWaveInDevices() = default;

uint32_t FileWaveInDevices::GetNumDevs() {
  WavReader reader;
  return reader.Open(path_) ? 1 : 0;
}

bool FileWaveInDevices::GetDevCaps(uint32_t id, WaveInCaps* caps) {
  WavReader reader;
  if (id != 0 || !reader.Open(path_)) return false;
  caps->productName = FileNameOf(path_).substr(0, kMaxProductName);
  caps->formats = FormatsOf(reader);
  return true;
}

std::unique_ptr<WaveIn> FileWaveInDevices::Open(uint32_t id, const WaveFormat& format,
                                                WaveInCallback callback) {
  if (id != 0) return nullptr;
  auto waveIn = std::make_unique<FileWaveIn>(shared_, pacing_, std::move(callback));
  if (!waveIn->OpenFile(path_)) {
    Log("Audio: cannot read the sound file %s", path_.c_str());
    return nullptr;
  }
  if (format.bitsPerSample != 16 || format.channels != 2 ||
      format.samplesPerSec != waveIn->reader().samplesPerSec())
    return nullptr;
  std::lock_guard lock(shared_->mutex);
  shared_->open = waveIn.get();
  return waveIn;
}

bool FileWaveInDevices::DeliverNextBuffer() {
  if (pacing_ != FilePacing::OnDemand) return false;
  std::lock_guard lock(shared_->mutex);
  return shared_->open && shared_->open->DeliverOne();
}

}  // namespace audio
