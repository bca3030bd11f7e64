#pragma once
// A render's surroundings for tests: its file dialogs and compressor choice
// answered at once (the capture to render, the AVI to write, uncompressed
// frames), and a grabber whose every frame is mid grey.
#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "render/compressor_chooser.h"
#include "render/frame_grabber.h"
#include "render/render_prompts.h"

namespace lvtest {

class RenderAnswers final : public lv::RenderPrompts, public lv::CompressorChooser {
 public:
  RenderAnswers(std::string capture, std::string target) : capture_(std::move(capture)), target_(std::move(target)) {}
  std::optional<std::string> OpenFile(const lv::FileDialogRequest&) override { return capture_; }
  std::optional<std::string> SaveFile(const lv::FileDialogRequest&) override { return target_; }
  void ShowError(const std::string& text, const std::string&) override { errors.push_back(text); }
  std::optional<media::CompressorChoice> ChooseCompressor() override { return media::CompressorChoice{"rawvideo"}; }
  std::vector<std::string> errors;

 private:
  std::string capture_;
  std::string target_;
};

class GreyGrabber final : public lv::FrameGrabber {
 public:
  lv::FrameGrab CopyBackBuffer(uint8_t* pixels, int width, int height, int pitch) override {
    for (int y = 0; y < height; ++y) std::fill_n(pixels + static_cast<size_t>(y) * pitch, width * 4, uint8_t{128});
    return lv::FrameGrab::Copied;
  }
  void ReleaseCopies() override {}
};

}  // namespace lvtest
