#pragma once
// The machine's fill-rate limit, in hand-written GL on a context of its own:
// full-screen blended textured passes into a target of the given size, each
// frame read back as the program's present reads it.
#include <cstdint>

namespace bench {

// Frames per second of `passes` such passes (a fraction is a partial pass
// covering that share of the target) plus the read-back; 0 without EGL.
double FillRateFramesPerSecond(uint32_t width, uint32_t height, double passes);

}  // namespace bench
