#pragma once
// What the capture page's row of a device shows.
#include <cstdint>
#include <string>

namespace builtin {
class CaptureDevice;
class CaptureFormat;
}  // namespace builtin

namespace ui {

struct CaptureRow {
  enum Check { kNoCheckBox, kUnchecked, kChecked };
  std::string name;
  std::string status;
  std::string input;
  Check check = kNoCheckBox;
};

// "RGB<bits>" for uncompressed and bit-field RGB, else the four characters.
std::string CaptureFormatName(uint32_t fourcc, uint16_t bitCount);
// "<width>x<height> <format name>".
std::string CaptureModeText(const builtin::CaptureFormat& format);
// The row of the device as it is now (each step logged).
CaptureRow MakeCaptureRow(const builtin::CaptureDevice& device);

}  // namespace ui
