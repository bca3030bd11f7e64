#include "capture/capture_manager.h"

#include <cstdlib>
#include <string>

#include "capture/capture_log.h"
#include "capture/connector_names.h"

namespace builtin {

namespace {

// The name cut to the device's name room, never inside a UTF-8 sequence.
std::string FitName(const std::string& name) {
  if (name.size() <= static_cast<size_t>(CaptureDevice::kMaxNameBytes)) return name;
  size_t cut = CaptureDevice::kMaxNameBytes;
  while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80) --cut;
  return name.substr(0, cut);
}

}  // namespace

CaptureManager::CaptureManager(std::unique_ptr<capture::CaptureSystem> system, CaptureEnvironment env)
    : system_(std::move(system)), env_(std::move(env)) {}

void CaptureManager::Initialize() {
  CaptureLog("Initializing Capture Manager");
  if (!system_) {
    CaptureLog("Failed to create filter graph");
    return;
  }
  EnumerateDevices();
}

bool CaptureManager::EnumerateDevices() {
  CaptureLog("Enumerating capture devices...");
  if (!system_) {
    CaptureLog("Couldn't create system device enumerator.");
    return false;
  }
  const auto names = system_->Enumerate();
  if (!names) {
    CaptureLog("Couldn't create system device enumerator.");
    return false;
  }
  if (names->empty()) {
    CaptureLog("No video capture device was detected.");
    return false;
  }
  for (size_t i = 0; i < names->size(); ++i) {
    if (!(*names)[i]) continue;  // its place still counts
    auto* device = new CaptureDevice(*system_, env_, static_cast<int16_t>(i));
    device->SetName(FitName(*(*names)[i]).c_str());
    std::unique_ptr<capture::VideoDevice> filter = system_->Bind(static_cast<int32_t>(i));
    if (filter) {
      CaptureLog("Available: %s", device->Name());
      device->status_ = CaptureDevice::kReady;
      ProbeDevice(*device, *filter);
      if (device->formats_.Count() == 0) device->status_ = CaptureDevice::kNoFormats;
    } else {
      CaptureLog("Problem: %s", device->Name());
      device->status_ = CaptureDevice::kBindFailed;
    }
    devices_.Append(device);
  }
  return true;
}

bool CaptureManager::ProbeDevice(CaptureDevice& device, capture::VideoDevice& filter) {
  CaptureLog("- Found IAMStreamConfig");
  const std::vector<capture::VideoInput> inputs = filter.Inputs();
  if (!inputs.empty()) {
    CaptureLog("- Enumerating inputs (%d in, %d out)", static_cast<int>(inputs.size()), 1);
    const int32_t routed = filter.CurrentInput();
    for (const capture::VideoInput& in : inputs) {
      auto* input = new CaptureInput(in.index);
      input->SetName(ConnectorTypeName(in.connectorType));
      device.inputs_.Append(input);
      if (in.index == routed) device.input_ = input;
    }
  }

  const std::vector<capture::VideoFormat> offered = filter.Formats();
  CaptureLog("- Enumerating formats (%d total)", static_cast<int>(offered.size()));
  capture::VideoFormat current;
  const bool haveCurrent = filter.CurrentFormat(&current);
  bool defaultChosen = false;
  for (const capture::VideoFormat& caps : offered) {
    CaptureLog("--Compatible video format found: %d x %d, 0x%08x", static_cast<int>(caps.width), caps.height,
               caps.compression);
    CaptureFormat* node =
        device.FindFormat(caps.width, static_cast<uint32_t>(caps.height), caps.compression);
    if (node) {
      // A faster duplicate replaces the stored frame time, never beyond the floor.
      if (caps.avgTimePerFrame >= capture::kShortestFrameTime &&
          caps.avgTimePerFrame < node->mediaType.avgTimePerFrame)
        node->mediaType.avgTimePerFrame = caps.avgTimePerFrame;
    } else {
      node = new CaptureFormat(caps);
      if (node->mediaType.avgTimePerFrame < capture::kShortestFrameTime)
        node->mediaType.avgTimePerFrame = capture::kShortestFrameTime;
      device.formats_.Append(node);
    }
    if (defaultChosen) continue;
    if (caps.width == 320 && std::abs(caps.height) == 240 && caps.compression == capture::kYuy2) {
      device.format_ = node;
      filter.SetFormat(node->mediaType);
      defaultChosen = true;
    } else if (haveCurrent && caps == current) {
      device.format_ = node;
    }
  }
  device.formats_.Sort([](const lv::ListNode* a, const lv::ListNode* b) {
    return static_cast<const CaptureFormat*>(a)->imageSize > static_cast<const CaptureFormat*>(b)->imageSize;
  });
  return true;
}

void CaptureManager::ReleaseDevices() {
  for (lv::ListNode* n = devices_.Head(); n; n = n->Next()) {
    auto* device = static_cast<CaptureDevice*>(n);
    if (!device->running_) continue;
    device->Stop();
    device->restore_ = true;
  }
}

void CaptureManager::RestoreDevices() {
  for (lv::ListNode* n = devices_.Head(); n; n = n->Next()) {
    auto* device = static_cast<CaptureDevice*>(n);
    if (!device->restore_) continue;
    device->restore_ = false;
    device->Start();
  }
}

void CaptureManager::StopAll() {
  for (lv::ListNode* n = devices_.Head(); n; n = n->Next()) {
    auto* device = static_cast<CaptureDevice*>(n);
    if (device->running_) device->Stop();
  }
}

void CaptureManager::Shutdown() { devices_.DeleteAll(); }

CaptureDevice* CaptureManager::FindDevice(const char* name) {
  return static_cast<CaptureDevice*>(lv::FindByName(devices_.Head(), name));
}

}  // namespace builtin
