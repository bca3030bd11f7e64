#pragma once
// Builds AVI files byte by byte the way the classic Windows writer lays them
// out: 24-bit frames bottom row first with rows padded to 4 bytes, 16-bit PCM
// in chunks of its own, an idx1 index. Lets the reader be checked against
// files FFmpeg did not write.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "media_test_support.h"

namespace media::testing {

struct AviFixture {
  int width = 16;
  int height = 8;
  uint32_t scale = 1;  // frame rate = rate / scale
  uint32_t rate = 25;
  std::vector<Quadrants> frames;
  std::vector<size_t> droppedFrames;  // stored as empty chunks, as capture tools mark a dropped frame
  int sampleRate = 22050;
  int channels = 0;  // 0: no audio stream
  std::vector<int16_t> samples;  // interleaved
  int samplesPerChunk = 2205;
};

class ByteWriter {
 public:
  void U16(uint32_t v) { Bytes({static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8)}); }
  void U32(uint32_t v) {
    Bytes({static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v >> 16),
           static_cast<uint8_t>(v >> 24)});
  }
  void Code(const char* fourcc) { data.insert(data.end(), fourcc, fourcc + 4); }
  void Bytes(std::initializer_list<uint8_t> bytes) { data.insert(data.end(), bytes); }
  void Append(const void* bytes, size_t size) {
    auto* p = static_cast<const uint8_t*>(bytes);
    data.insert(data.end(), p, p + size);
  }
  // Starts a chunk (and for LIST/RIFF its type); returns where its size goes.
  size_t Open(const char* id, const char* type = nullptr) {
    Code(id);
    size_t at = data.size();
    U32(0);
    if (type) Code(type);
    return at;
  }
  void Close(size_t sizeAt) {
    uint32_t size = static_cast<uint32_t>(data.size() - sizeAt - 4);
    std::memcpy(&data[sizeAt], &size, 4);
    if (size & 1) data.push_back(0);
  }
  std::vector<uint8_t> data;
};

inline std::vector<uint8_t> FrameBytes(const AviFixture& f, const Quadrants& colours) {
  const int stride = (f.width * 3 + 3) & ~3;
  std::vector<uint8_t> bytes(static_cast<size_t>(stride) * f.height, 0);
  for (int y = 0; y < f.height; ++y)
    for (int x = 0; x < f.width; ++x) {
      bool right = x >= f.width / 2, bottom = y >= f.height / 2;
      const Colour& c = bottom ? (right ? colours.bottomRight : colours.bottomLeft)
                               : (right ? colours.topRight : colours.topLeft);
      uint8_t* p = &bytes[static_cast<size_t>(f.height - 1 - y) * stride + x * 3];
      p[0] = c.b, p[1] = c.g, p[2] = c.r;
    }
  return bytes;
}

inline std::vector<uint8_t> BuildAvi(const AviFixture& f) {
  const int stride = (f.width * 3 + 3) & ~3;
  const uint32_t frameSize = static_cast<uint32_t>(stride * f.height);
  const bool audio = f.channels > 0;
  const uint32_t blockAlign = static_cast<uint32_t>(2 * f.channels);
  const uint32_t sampleCount = audio ? static_cast<uint32_t>(f.samples.size() / f.channels) : 0;
  ByteWriter w;
  size_t riff = w.Open("RIFF", "AVI ");
  size_t headers = w.Open("LIST", "hdrl");
  size_t main = w.Open("avih");
  w.U32(f.rate ? 1000000u * f.scale / f.rate : 0);
  w.U32(0), w.U32(0), w.U32(0x10);  // max bytes per second, padding, has index
  w.U32(static_cast<uint32_t>(f.frames.size())), w.U32(0), w.U32(audio ? 2 : 1), w.U32(frameSize);
  w.U32(static_cast<uint32_t>(f.width)), w.U32(static_cast<uint32_t>(f.height));
  for (int i = 0; i < 4; ++i) w.U32(0);
  w.Close(main);

  size_t videoList = w.Open("LIST", "strl");
  size_t videoHeader = w.Open("strh");
  w.Code("vids"), w.Code("DIB "), w.U32(0), w.U16(0), w.U16(0), w.U32(0);
  w.U32(f.scale), w.U32(f.rate), w.U32(0), w.U32(static_cast<uint32_t>(f.frames.size())), w.U32(frameSize);
  w.U32(0xFFFFFFFF), w.U32(0), w.U16(0), w.U16(0), w.U16(static_cast<uint32_t>(f.width)),
      w.U16(static_cast<uint32_t>(f.height));
  w.Close(videoHeader);
  size_t videoFormat = w.Open("strf");
  w.U32(40), w.U32(static_cast<uint32_t>(f.width)), w.U32(static_cast<uint32_t>(f.height)), w.U16(1), w.U16(24);
  w.U32(0), w.U32(frameSize), w.U32(0), w.U32(0), w.U32(0), w.U32(0);
  w.Close(videoFormat);
  w.Close(videoList);

  if (audio) {
    size_t audioList = w.Open("LIST", "strl");
    size_t audioHeader = w.Open("strh");
    w.Code("auds"), w.U32(0), w.U32(0), w.U16(0), w.U16(0), w.U32(0);
    w.U32(blockAlign), w.U32(static_cast<uint32_t>(f.sampleRate) * blockAlign), w.U32(0), w.U32(sampleCount);
    w.U32(static_cast<uint32_t>(f.samplesPerChunk) * blockAlign), w.U32(0xFFFFFFFF), w.U32(blockAlign);
    w.U16(0), w.U16(0), w.U16(0), w.U16(0);
    w.Close(audioHeader);
    size_t audioFormat = w.Open("strf");
    w.U16(1), w.U16(static_cast<uint32_t>(f.channels)), w.U32(static_cast<uint32_t>(f.sampleRate));
    w.U32(static_cast<uint32_t>(f.sampleRate) * blockAlign), w.U16(blockAlign), w.U16(16), w.U16(0);
    w.Close(audioFormat);
    w.Close(audioList);
  }
  w.Close(headers);

  struct Entry {
    const char* id;
    uint32_t flags, offset, size;
  };
  std::vector<Entry> index;
  size_t movie = w.Open("LIST", "movi");
  const size_t movieStart = movie - 4;  // idx1 offsets count from the "movi" list's id
  uint32_t nextSample = 0;
  auto writeAudioUntil = [&](uint64_t until) {
    while (audio && nextSample < sampleCount && nextSample <= until) {
      uint32_t count = std::min<uint32_t>(static_cast<uint32_t>(f.samplesPerChunk), sampleCount - nextSample);
      size_t chunk = w.Open("01wb");
      w.Append(&f.samples[static_cast<size_t>(nextSample) * f.channels], count * blockAlign);
      index.push_back({"01wb", 0x10, static_cast<uint32_t>(chunk - 4 - movieStart), count * blockAlign});
      w.Close(chunk);
      nextSample += count;
    }
  };
  for (size_t i = 0; i < f.frames.size(); ++i) {
    // Audio runs ahead of the picture, as in interleaved files.
    writeAudioUntil((i + 1) * static_cast<uint64_t>(f.sampleRate) * f.scale / (f.rate ? f.rate : 1));
    size_t chunk = w.Open("00db");
    const bool dropped = std::find(f.droppedFrames.begin(), f.droppedFrames.end(), i) != f.droppedFrames.end();
    std::vector<uint8_t> frame = dropped ? std::vector<uint8_t>() : FrameBytes(f, f.frames[i]);
    w.Append(frame.data(), frame.size());
    index.push_back({"00db", dropped ? 0u : 0x10u, static_cast<uint32_t>(chunk - 4 - movieStart),
                     static_cast<uint32_t>(frame.size())});
    w.Close(chunk);
  }
  writeAudioUntil(UINT64_MAX);
  w.Close(movie);
  size_t indexChunk = w.Open("idx1");
  for (const Entry& e : index) w.Code(e.id), w.U32(e.flags), w.U32(e.offset), w.U32(e.size);
  w.Close(indexChunk);
  w.Close(riff);
  return w.data;
}

inline void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                              static_cast<std::streamsize>(bytes.size()));
}

}  // namespace media::testing
