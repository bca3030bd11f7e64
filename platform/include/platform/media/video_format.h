#pragma once
#include <cstdint>

namespace media {

// A rate as a fraction, so 29.97 frames per second is exactly 30000/1001.
struct Rational {
  int num = 0;
  int den = 1;

  double ToDouble() const { return den == 0 ? 0.0 : static_cast<double>(num) / den; }
};

// Byte order of the 32-bit pixels a caller hands over or receives. The fourth
// byte is not read on input; on output it is 255.
enum class PixelOrder {
  BGRX,  // blue, green, red, unused: a locked X8R8G8B8 / A8R8G8B8 surface
  RGBX,  // red, green, blue, unused: a GL read-back
};

}  // namespace media
