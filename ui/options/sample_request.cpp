#include "options/sample_request.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace ui {

namespace {

// The smallest power of two strictly greater than x.
uint32_t NextPowerOfTwo(uint32_t x) {
  uint32_t p = 1;
  while (p <= x && p < (1u << 31)) p <<= 1;
  return p;
}

bool RatioAllowed(uint32_t width, uint32_t height) {
  const uint64_t w = width;
  const uint64_t h = height;
  return h != 0 && 2 * w >= h && w <= 2 * h;
}

std::string Format(const char* format, double a, double b) {
  char text[64];
  std::snprintf(text, sizeof text, format, a, b);
  return text;
}

}  // namespace

SampleRequest FirstSampleRequest(int32_t outputWidth, int32_t outputHeight, int32_t bits) {
  SampleRequest request;
  request.width = static_cast<uint32_t>(std::max(outputWidth / 2, 0));
  request.height = static_cast<uint32_t>(std::max(outputHeight / 2, 0));
  request.bits = bits == 16 ? 16 : 32;
  request.outputWidth = static_cast<uint32_t>(std::max(outputWidth, 0));
  request.outputHeight = static_cast<uint32_t>(std::max(outputHeight, 0));
  return request;
}

std::vector<uint32_t> OfferedSampleSizes(uint32_t outputWidth, uint32_t outputHeight) {
  std::vector<uint32_t> sizes;
  auto offer = [&](uint32_t w, uint32_t h) {
    // A side that does not fit the packed 16 bits is not offered.
    if (w > 0xFFFF || h > 0xFFFF || !RatioAllowed(w, h)) return;
    const uint32_t packed = w << 16 | h;
    if (std::find(sizes.begin(), sizes.end(), packed) == sizes.end()) sizes.push_back(packed);
  };
  const uint32_t w = outputWidth;
  const uint32_t h = outputHeight;
  const uint32_t bases[4][2] = {{w, h}, {w >> 1, h}, {w, h >> 1}, {w >> 1, h >> 1}};
  for (const auto& base : bases) {
    offer(base[0], base[1]);
    const uint32_t pw = NextPowerOfTwo(base[0]);
    const uint32_t ph = NextPowerOfTwo(base[1]);
    offer(pw, ph);
    offer(pw / 2, ph);
    offer(pw, ph / 2);
    offer(pw / 2, ph / 2);
  }
  std::sort(sizes.begin(), sizes.end());
  return sizes;
}

uint32_t FrameCountFromText(const std::string& text) {
  const long frames = std::atol(text.substr(0, 10).c_str());
  return static_cast<uint32_t>(
      std::clamp<long>(frames, SampleRequest::kMinFrames, SampleRequest::kMaxFrames));
}

uint64_t SampleBytesPerFrame(uint32_t width, uint32_t height, uint32_t bits) {
  return uint64_t{width} * height * (bits == 16 ? 2 : 4);
}

std::string SampleSizeText(const SampleRequest& request) {
  const uint64_t kilobytes = SampleBytesPerFrame(request.width, request.height, request.bits) / 1024;
  const double megabytes = static_cast<double>(request.frames * kilobytes) / 1024.0;
  const uint32_t interval = std::clamp<uint32_t>(request.interval, 1, SampleRequest::kSlowestInterval);
  const double seconds = static_cast<double>(request.frames) / (60 / interval);
  return Format("%1.2f Mb, %1.1f Sec)", megabytes, seconds);
}

gfx::Format SampleFormat(uint32_t bits) { return bits == 16 ? gfx::Format::R5G6B5 : gfx::Format::X8R8G8B8; }

const char* SampleFormatName(gfx::Format format) {
  switch (format) {
    case gfx::Format::A8R8G8B8:
    case gfx::Format::X8R8G8B8:
    case gfx::Format::A8B8G8R8:
    case gfx::Format::X8B8G8R8: return "RGB32";
    case gfx::Format::R5G6B5:
    case gfx::Format::A1R5G5B5: return "RGB16";
    default: return "??";
  }
}

std::string SamplerDescription(uint32_t width, uint32_t height, gfx::Format format, uint32_t frames, uint32_t interval) {
  const uint32_t ticks = std::max<uint32_t>(interval, 1);
  char text[160];
  std::snprintf(text, sizeof text, "%d x %d %s, %d fps, %1.1f sec", static_cast<int>(width), static_cast<int>(height),
                SampleFormatName(format), static_cast<int>(60 / ticks), frames * ticks / 60.0);
  return text;
}

}  // namespace ui
