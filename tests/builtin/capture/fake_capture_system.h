#pragma once
// A capture system whose devices offer what a test scripts; nothing streams.
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/capture/video_device.h"

namespace captest {

inline capture::VideoFormat Format(uint32_t w, int32_t h, uint32_t fourcc, int64_t frameTime, uint16_t bits = 16) {
  capture::VideoFormat f;
  f.width = w;
  f.height = h;
  f.compression = fourcc;
  f.bitCount = bits;
  f.imageSize = w * static_cast<uint32_t>(h < 0 ? -h : h) * bits / 8;
  f.avgTimePerFrame = frameTime;
  return f;
}

struct DeviceScript {
  std::optional<std::string> name;
  bool bindable = true;
  std::vector<capture::VideoFormat> formats;
  capture::VideoFormat current;
  std::vector<capture::VideoInput> inputs;
  int32_t routed = -1;
  // Filled in by the device: the formats set on it, in order.
  std::shared_ptr<std::vector<capture::VideoFormat>> setFormats = std::make_shared<std::vector<capture::VideoFormat>>();
};

class ScriptedDevice final : public capture::VideoDevice {
 public:
  explicit ScriptedDevice(const DeviceScript& script) : script_(script) {}
  std::vector<capture::VideoFormat> Formats() override { return script_.formats; }
  bool CurrentFormat(capture::VideoFormat* format) override {
    *format = script_.current;
    return true;
  }
  bool SetFormat(const capture::VideoFormat& format) override {
    script_.setFormats->push_back(format);
    return true;
  }
  std::vector<capture::VideoInput> Inputs() override { return script_.inputs; }
  int32_t CurrentInput() override { return script_.routed; }
  bool SelectInput(int32_t) override { return true; }
  bool StartStreaming(capture::FrameSink*) override { return false; }
  void StopStreaming() override {}

 private:
  DeviceScript script_;
};

class ScriptedSystem final : public capture::CaptureSystem {
 public:
  explicit ScriptedSystem(std::vector<DeviceScript> devices, bool listable = true)
      : devices_(std::move(devices)), listable_(listable) {}
  std::optional<std::vector<std::optional<std::string>>> Enumerate() override {
    if (!listable_) return std::nullopt;
    std::vector<std::optional<std::string>> names;
    for (const DeviceScript& d : devices_) names.push_back(d.name);
    return names;
  }
  std::unique_ptr<capture::VideoDevice> Bind(int32_t index) override {
    if (index < 0 || static_cast<size_t>(index) >= devices_.size() || !devices_[index].bindable) return nullptr;
    return std::make_unique<ScriptedDevice>(devices_[index]);
  }

 private:
  std::vector<DeviceScript> devices_;
  bool listable_;
};

}  // namespace captest
