#pragma once
#include <cstdint>

namespace sys {

// Milliseconds of a monotonic clock, wrapping at 2^32: take differences as
// unsigned 32-bit values.
uint32_t TimeMs();

// Suspends the calling thread for at least `ms` milliseconds.
void Sleep(uint32_t ms);

}  // namespace sys
