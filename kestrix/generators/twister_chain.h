#pragma once
// The Twister's chain of objects. Random events change the top segment; each
// frame's chain step hands a change down to the next segment, so it ripples
// down the column: rates, mesh and the period-4 values a segment a frame,
// the wobble (period 5) one every two frames, and a radius (period 3) the
// whole chain in one frame.
#include <array>
#include <cstdint>

#include "animated_value.h"

namespace kestrix {

// One object of the column. Angles are in turn units (8192 a turn).
struct TwisterSegment {
  TwisterSegment();

  float spinYaw = 0, spinYawRate = 0, spinPitch = 0, spinPitchRate = 0, spinRoll = 0, spinRollRate = 0;
  int32_t index = 0;
  TwisterSegment* next = nullptr;
  int32_t yawPass = 0, pitchPass = 0, rollPass = 0;  // 0 idle, 1-3 while a new rate is handed on
  AnimatedValue height, wobble, radius, twist, scale, hue, brightness, saturation;
  int32_t mesh = 0, meshPass = 0;
};

inline constexpr int kTwisterSegments = 200;
using TwisterChain = std::array<TwisterSegment, kTwisterSegments>;

// Numbers the segments in order and links each to the next.
void LinkTwisterChain(TwisterChain& chain);

// One frame of the chain, segment 0 first.
void StepTwisterChain(TwisterChain& chain);

}  // namespace kestrix
