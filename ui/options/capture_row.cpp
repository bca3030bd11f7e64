#include "options/capture_row.h"

#include <cstdio>

#include "capture/capture_device.h"
#include "platform/sys/log.h"

namespace ui {

namespace {
constexpr uint32_t kBitFields = 3;
}  // namespace

std::string CaptureFormatName(uint32_t fourcc, uint16_t bitCount) {
  if (fourcc == capture::kUncompressedRgb || fourcc == kBitFields) return "RGB" + std::to_string(bitCount);
  std::string name;
  for (int shift = 0; shift < 32; shift += 8) name += static_cast<char>((fourcc >> shift) & 0xFF);
  return name;
}

std::string CaptureModeText(const builtin::CaptureFormat& format) {
  char text[96];
  std::snprintf(text, sizeof text, "%dx%d %s", static_cast<int>(format.width), static_cast<int32_t>(format.height),
                CaptureFormatName(format.fourcc, format.mediaType.bitCount).c_str());
  return text;
}

CaptureRow MakeCaptureRow(const builtin::CaptureDevice& device) {
  CaptureRow row;
  sys::Log("  Setting Item name");
  row.name = device.Name() != nullptr ? device.Name() : "";
  if (device.GetStatus() != builtin::CaptureDevice::kReady) {
    sys::Log("  Device unavailable");
    row.status = device.GetStatus() == builtin::CaptureDevice::kNoFormats ? "Incompatible" : "Problem";
    row.input = "--";
    return row;
  }
  sys::Log("  Device available - setting FourCC and format");
  const std::string mode = device.Format() != nullptr ? CaptureModeText(*device.Format()) : "(no mode selected)";
  row.status = (device.Running() ? "Running - " : "Ready - ") + mode;
  sys::Log("  Setting input name");
  row.input = device.Input() != nullptr && device.Input()->Name() != nullptr ? device.Input()->Name() : "--";
  sys::Log("  Setting checked state");
  row.check = device.Running() ? CaptureRow::kChecked : CaptureRow::kUnchecked;
  return row;
}

}  // namespace ui
