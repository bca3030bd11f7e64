#include "sampler/sampler_section.h"

#include <cstring>
#include <string>
#include <vector>

namespace builtin {

namespace {

constexpr uint32_t kName = lv::ChunkTag("NAME");
constexpr uint32_t kWidth = lv::ChunkTag("XRES");
constexpr uint32_t kHeight = lv::ChunkTag("YRES");
constexpr uint32_t kFormat = lv::ChunkTag("DFMT");
constexpr uint32_t kFrames = lv::ChunkTag("FRMS");
constexpr uint32_t kInterval = lv::ChunkTag("FRIN");

struct StoredFormat {
  gfx::Format format;
  uint32_t code;
};
// The numbering project files have always used for these formats.
constexpr StoredFormat kStoredFormats[] = {
    {gfx::Format::Unknown, 0},   {gfx::Format::R8G8B8, 20},   {gfx::Format::A8R8G8B8, 21},
    {gfx::Format::X8R8G8B8, 22}, {gfx::Format::R5G6B5, 23},   {gfx::Format::X1R5G5B5, 24},
    {gfx::Format::A1R5G5B5, 25}, {gfx::Format::A8B8G8R8, 32}, {gfx::Format::X8B8G8R8, 33},
};

}  // namespace

uint32_t StoredFormatCode(gfx::Format format) {
  for (const StoredFormat& f : kStoredFormats)
    if (f.format == format) return f.code;
  return 0;
}

bool FormatFromStoredCode(uint32_t code, gfx::Format* format) {
  for (const StoredFormat& f : kStoredFormats) {
    if (f.code == code) {
      *format = f.format;
      return true;
    }
  }
  return false;
}

bool WriteSamplerSection(Sampler& sampler, lv::ChunkStream& stream) {
  const char* name = sampler.Name();
  if (!name) return false;
  const uint32_t width = sampler.Width(), height = sampler.Height(), format = StoredFormatCode(sampler.Format()),
                 frames = sampler.Capacity(), interval = sampler.Interval();
  return stream.WriteChunk(kName, name, static_cast<int32_t>(std::strlen(name) + 1)) &&
         stream.WriteUInt32Chunk(kWidth, &width) && stream.WriteUInt32Chunk(kHeight, &height) &&
         stream.WriteUInt32Chunk(kFormat, &format) && stream.WriteUInt32Chunk(kFrames, &frames) &&
         stream.WriteUInt32Chunk(kInterval, &interval) && stream.WriteEnd();
}

Sampler* ReadSamplerSection(SamplerBank& bank, lv::ChunkStream& stream) {
  std::string name;
  uint32_t values[5] = {};
  bool seen[6] = {};
  const uint32_t tags[5] = {kWidth, kHeight, kFormat, kFrames, kInterval};
  for (uint32_t tag = stream.NextChunk(); tag != 0; tag = stream.NextChunk()) {
    if (tag == kName) {
      const int32_t size = stream.BytesLeft();
      std::vector<char> text(static_cast<size_t>(size > 0 ? size : 0) + 1, '\0');
      if (size > 0 && stream.ReadChunkData(text.data(), size)) {
        name = text.data();
        seen[5] = !name.empty();
      }
      continue;
    }
    for (int i = 0; i < 5; ++i)
      if (tag == tags[i] && stream.ReadUInt32(&values[i])) seen[i] = true;
  }
  for (bool s : seen)
    if (!s) return nullptr;
  gfx::Format format;
  if (!FormatFromStoredCode(values[2], &format)) return nullptr;
  return Sampler::Create(bank.samplers, bank.env, name.c_str(), values[0], values[1], format, values[3], values[4]);
}

}  // namespace builtin
