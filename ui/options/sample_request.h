#pragma once
// What "Enter Video Sample Parameters" edits: the size, length, rate and
// depth of a new sampler, and the rules its fields follow.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/gfx/formats.h"

namespace ui {

struct SampleRequest {
  static constexpr uint32_t kMinFrames = 1;
  static constexpr uint32_t kMaxFrames = 240;
  static constexpr uint32_t kSlowestInterval = 6;  // 10 frames per second
  static constexpr size_t kMaxNameLength = 79;

  uint32_t width = 0;
  uint32_t height = 0;
  uint32_t frames = 30;
  uint32_t interval = 2;  // in 60 Hz ticks: 1 = 60 fps .. 6 = 10 fps
  uint32_t bits = 32;     // 16 or 32
  std::string name = "New Sampler";
  // The output the sizes are offered for.
  uint32_t outputWidth = 0;
  uint32_t outputHeight = 0;
};

// The first request for an output of that size and depth: half its size.
SampleRequest FirstSampleRequest(int32_t outputWidth, int32_t outputHeight, int32_t bits);

// The sizes offered for an output of that size, as width << 16 | height in
// ascending order: the output and its halves, and the powers of two around
// each, whose width / height lies in 0.5 .. 2.
std::vector<uint32_t> OfferedSampleSizes(uint32_t outputWidth, uint32_t outputHeight);

// The frame count a typed text gives: its number, read as atoi reads its
// first 10 characters, within 1..240.
uint32_t FrameCountFromText(const std::string& text);

uint64_t SampleBytesPerFrame(uint32_t width, uint32_t height, uint32_t bits);
// "<megabytes> Mb, <seconds> Sec)" for the request.
std::string SampleSizeText(const SampleRequest& request);

gfx::Format SampleFormat(uint32_t bits);
// "RGB32", "RGB16" or "??".
const char* SampleFormatName(gfx::Format format);
// "<w> x <h> <format>, <fps> fps, <seconds> sec".
std::string SamplerDescription(uint32_t width, uint32_t height, gfx::Format format, uint32_t frames, uint32_t interval);

}  // namespace ui
