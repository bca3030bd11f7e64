#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

// Wave input: sound-card capture delivered in caller-owned buffers. The
// caller queues buffers; the device fills them in order and hands each one
// back through the callback, on a thread of the device's choosing.
namespace audio {

// Format capability bits of a device (16-bit formats only; the values are
// the usual wave-format flags so masks read the same everywhere).
enum WaveFormatFlag : uint32_t {
  kFormat1M16 = 0x0004,  // 11.025 kHz mono
  kFormat1S16 = 0x0008,  // 11.025 kHz stereo
  kFormat2M16 = 0x0040,  // 22.05 kHz mono
  kFormat2S16 = 0x0080,  // 22.05 kHz stereo
  kFormat4M16 = 0x0400,  // 44.1 kHz mono
  kFormat4S16 = 0x0800,  // 44.1 kHz stereo
};

struct WaveInCaps {
  std::string productName;  // at most kMaxProductName characters
  uint32_t formats = 0;     // WaveFormatFlag bits
};
inline constexpr size_t kMaxProductName = 31;

// PCM format asked for when opening.
struct WaveFormat {
  uint16_t channels = 2;
  uint32_t samplesPerSec = 44100;
  uint16_t bitsPerSample = 16;
  uint16_t BlockAlign() const { return static_cast<uint16_t>(channels * bitsPerSample / 8); }
  uint32_t AvgBytesPerSec() const { return samplesPerSec * BlockAlign(); }
};

// One caller-owned buffer. The device writes `data` and `bytesRecorded`
// while it holds the buffer, and nothing else.
struct WaveHeader {
  uint8_t* data = nullptr;
  uint32_t bufferLength = 0;
  uint32_t bytesRecorded = 0;
  void* user = nullptr;  // for the caller: finds its own record from the header
};

// Called once for each buffer the device returns (filled, or partly filled
// when the device is reset).
using WaveInCallback = std::function<void(WaveHeader*)>;

// An open input device. Destroying it closes the device; after the
// destructor returns the callback is never called again and no buffer is
// touched, whether or not it was returned.
class WaveIn {
 public:
  virtual ~WaveIn() = default;
  // Queues a buffer at the tail. A buffer added to a stopped device stays
  // queued until the device starts and fills it, or until Reset.
  virtual void AddBuffer(WaveHeader* header) = 0;
  // Starts capturing into the queued buffers. False when the device cannot run.
  virtual bool Start() = 0;
  // Stops capturing and returns every queued buffer through the callback,
  // before it returns, in queue order.
  virtual void Reset() = 0;
  // Calls `lost` once, on a thread of the sound system's, when the device
  // goes away with the server that carried it (a JACK server stopping); the
  // device then stays silent. Nothing is called once the device is
  // destroyed. Set once, after opening.
  virtual void OnLost(std::function<void()> lost) { (void)lost; }
};

// The machine's input devices, by index 0..GetNumDevs()-1.
class WaveInDevices {
 public:
  virtual ~WaveInDevices() = default;
  virtual uint32_t GetNumDevs() = 0;
  // False when the index is out of range or the device cannot be queried.
  virtual bool GetDevCaps(uint32_t id, WaveInCaps* caps) = 0;
  // Null when the device cannot be opened with this format.
  virtual std::unique_ptr<WaveIn> Open(uint32_t id, const WaveFormat& format,
                                       WaveInCallback callback) = 0;
};

// The sound system's input devices (ALSA, JACK or PulseAudio through
// PortAudio). Without a sound system or input device the list is empty.
std::unique_ptr<WaveInDevices> CreateSystemWaveInDevices();

}  // namespace audio
