#include "capture/capture_section.h"

#include <cstring>
#include <string>
#include <vector>

namespace builtin {

namespace {
constexpr uint32_t kDevice = lv::ChunkTag("DEVI");
constexpr uint32_t kWidth = lv::ChunkTag("XRES");
constexpr uint32_t kHeight = lv::ChunkTag("YRES");
constexpr uint32_t kFourCC = lv::ChunkTag("FRCC");
constexpr uint32_t kFlip = lv::ChunkTag("FLIP");
constexpr uint32_t kInput = lv::ChunkTag("INPT");
}  // namespace

bool HasCaptureSection(const CaptureDevice& device) { return device.Running() && device.Format(); }

bool WriteCaptureSection(const CaptureDevice& device, lv::ChunkStream& stream) {
  const CaptureFormat* format = device.Format();
  if (!format || !device.Name()) return false;
  const uint32_t flip = device.Flip() ? 1 : 0;
  bool ok = stream.WriteChunk(kDevice, device.Name(), static_cast<int32_t>(std::strlen(device.Name()) + 1)) &&
            stream.WriteUInt32Chunk(kWidth, &format->width) && stream.WriteUInt32Chunk(kHeight, &format->height) &&
            stream.WriteUInt32Chunk(kFourCC, &format->fourcc) && stream.WriteUInt32Chunk(kFlip, &flip);
  if (ok && device.Input()) {
    const uint32_t pin = static_cast<uint32_t>(device.Input()->pinIndex);
    ok = stream.WriteUInt32Chunk(kInput, &pin);
  }
  return ok && stream.WriteEnd();
}

void ReadCaptureSection(CaptureManager& manager, lv::ChunkStream& stream) {
  std::string name;
  bool haveName = false;
  uint32_t width = 0, height = 0, fourcc = 0, flip = 0;
  int32_t input = -1;
  for (uint32_t tag = stream.NextChunk(); tag != 0; tag = stream.NextChunk()) {
    const int32_t size = stream.BytesLeft();
    if (tag == kDevice && size > 0) {
      std::vector<char> text(static_cast<size_t>(size) + 1, '\0');
      if (stream.ReadChunkData(text.data(), size)) {
        name = text.data();
        haveName = true;
      }
    } else if (tag == kWidth) {
      stream.ReadUInt32(&width);
    } else if (tag == kHeight) {
      stream.ReadUInt32(&height);
    } else if (tag == kFourCC) {
      stream.ReadUInt32(&fourcc);
    } else if (tag == kFlip) {
      stream.ReadUInt32(&flip);
    } else if (tag == kInput) {
      uint32_t pin = 0;
      if (stream.ReadUInt32(&pin)) input = static_cast<int32_t>(pin);
    }
  }
  if (!haveName) return;
  CaptureDevice* device = manager.FindDevice(name.c_str());
  if (!device) return;
  CaptureFormat* format = device->FindFormat(width, height, fourcc);
  if (!format) return;
  // The choices are stored before one start, not restarted for each.
  const bool wasRunning = device->Running();
  if (wasRunning) device->Stop();
  device->SetFormat(format);
  device->SetFlip(flip != 0);
  CaptureInput* chosen = device->Input();
  if (input >= 0) {
    for (lv::ListNode* n = device->Inputs().Head(); n; n = n->Next()) {
      auto* candidate = static_cast<CaptureInput*>(n);
      if (candidate->pinIndex == input) {
        chosen = candidate;
        break;
      }
    }
  }
  device->SetInput(chosen);
  device->Start();
}

}  // namespace builtin
