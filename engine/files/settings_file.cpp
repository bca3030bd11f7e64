#include "files/settings_file.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>

#include "files/chunk_fields.h"
#include "files/program_folder.h"
#include "files/project_file.h"
#include "files/replacing_file.h"
#include "lv/file_chunk_stream.h"

namespace lv {
namespace {

constexpr uint32_t kHnot = ChunkTag("HNOT");
constexpr uint32_t kChannels = ChunkTag("CHAN");
constexpr uint32_t kDriver = ChunkTag("DRVR");
constexpr uint32_t kWidth = ChunkTag("XRES");
constexpr uint32_t kHeight = ChunkTag("YRES");
constexpr uint32_t kBits = ChunkTag("BITS");
constexpr uint32_t kRefresh = ChunkTag("RFRS");
constexpr uint32_t kWorkBuffers = ChunkTag("WORK");
constexpr uint32_t kPowerOfTwo = ChunkTag("NPW2");
constexpr uint32_t kHold = ChunkTag("HOLD");
constexpr uint32_t kHide = ChunkTag("HIDE");
constexpr uint32_t kCust = ChunkTag("CUST");
constexpr uint32_t kDkpv = ChunkTag("DKPV");
constexpr uint32_t kMidiDevice = ChunkTag("DEVI");
constexpr uint32_t kFreeFramePath = ChunkTag("FFrP");

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

bool WriteText(FileChunkStream& stream, uint32_t tag, const char* text) {
  return stream.BeginChunk(tag) && stream.WriteRaw(text, int32_t(std::strlen(text) + 1)) && stream.EndChunk();
}

}  // namespace

std::string Settings::Path() const { return FileInFolder(folder, fileName); }

void Settings::Load(const char* name) {
  fileName = name != nullptr ? name : "";
  Read();
}

void Settings::Read() {
  const std::string path = Path();
  if (path.empty()) return;
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
  if (!file) return;
  FileChunkStream stream(file.get());
  stream.Reset();
  while (uint32_t tag = stream.NextChunk()) {
    switch (tag) {
      case kHnot: ReadChunkValue(stream, hnot); break;
      case kChannels: ReadChunkValue(stream, channelMask); break;
      case kDriver: ReadChunkValue(stream, driver); break;
      case kWidth: ReadChunkValue(stream, width); break;
      case kHeight: ReadChunkValue(stream, height); break;
      case kBits: ReadChunkValue(stream, bits); break;
      case kRefresh: ReadChunkValue(stream, refresh); break;
      case kWorkBuffers:
        // New performances take this as their work-buffer count.
        if (ReadChunkValue(stream, workBuffers)) workBuffers = std::min<uint16_t>(workBuffers, kMaxWorkBuffers);
        break;
      case kPowerOfTwo: ReadChunkValue(stream, npw2); break;
      case kHold: ReadChunkValue(stream, hold); break;
      case kHide: ReadChunkValue(stream, hide); break;
      case kCust: ReadChunkValue(stream, cust); break;
      case kDkpv: ReadChunkValue(stream, dkpv); break;
      case kMidiDevice: SetMidiDevice(ReadChunkText(stream).c_str()); break;
      case kFreeFramePath:
        if (stream.BytesLeft() > 0) freeFramePath = ReadChunkText(stream, kMaxFreeFramePathLength);
        break;
      default: break;
    }
  }
}

bool Settings::Save() const {
  const std::string path = Path();
  if (path.empty()) return false;
  ReplacingFile file(path);
  if (!file.Open()) return false;
  FileChunkStream stream(file.File());
  bool ok = stream.Reset() && stream.WriteUInt8Chunk(kHnot, &hnot) && stream.WriteUInt16Chunk(kChannels, &channelMask) &&
            stream.WriteUInt8Chunk(kDriver, &driver) && stream.WriteUInt16Chunk(kWidth, &width) &&
            stream.WriteUInt16Chunk(kHeight, &height) && stream.WriteUInt16Chunk(kBits, &bits) &&
            stream.WriteUInt16Chunk(kRefresh, &refresh) && stream.WriteUInt16Chunk(kWorkBuffers, &workBuffers) &&
            stream.WriteUInt8Chunk(kPowerOfTwo, &npw2) && stream.WriteUInt8Chunk(kHold, &hold) &&
            stream.WriteUInt8Chunk(kHide, &hide) && stream.WriteUInt8Chunk(kCust, &cust) &&
            stream.WriteUInt8Chunk(kDkpv, &dkpv);
  if (ok && MidiDevice() != nullptr) ok = WriteText(stream, kMidiDevice, MidiDevice());
  const std::string ffPath = freeFramePath.substr(0, kMaxFreeFramePathLength);
  ok = ok && WriteText(stream, kFreeFramePath, ffPath.c_str()) && stream.WriteEnd();
  return ok && file.Commit();
}

PerformanceSettings Settings::ForNewPerformance() const {
  PerformanceSettings s;
  s.channelMask = channelMask;
  s.displayAdapter = driver;
  s.width = width;
  s.height = height;
  s.bitsPerPixel = bits;
  s.refreshRate = refresh;
  s.workBuffers = workBuffers;
  s.npw2 = npw2;
  s.hold = hold;
  s.hide = hide;
  s.cust = cust;
  s.midiDevice = MidiDevice();
  return s;
}

void Settings::TakeFrom(const Performance& p) {
  channelMask = uint16_t(p.channelMask);
  driver = uint8_t(p.displayAdapter);
  width = uint16_t(p.width);
  height = uint16_t(p.height);
  bits = uint16_t(p.bitsPerPixel);
  refresh = uint16_t(p.refreshRate);
  workBuffers = uint16_t(p.workBuffers);
  npw2 = p.npw2;
  hold = p.hold;
  hide = p.hide;
  cust = p.cust;
  SetMidiDevice(p.MidiDevice());
}

Settings& TheSettings() {
  static Settings settings;
  return settings;
}

}  // namespace lv
