#pragma once
// The main dialog's capture commands on the engine's capture recording and
// render controller.
#include "capture/capture_recording.h"
#include "main_dialog/main_dialog_services.h"
#include "render/render_controller.h"

namespace ui {

class EngineCaptureCommands final : public CaptureCommands {
 public:
  // `render` may be null: playback and rendering then do nothing.
  EngineCaptureCommands(lv::Performer& performer, lv::RenderController* render)
      : performer_(performer), render_(render) {}

  bool StartRecording(const std::string& path) override {
    return lv::StartCaptureRecording(performer_, path) == lv::RecordStart::Started;
  }
  void StopRecording() override { lv::StopCaptureRecording(performer_); }
  void PlayCaptureFile() override {
    if (render_ != nullptr) render_->PlayCaptureFile();
  }
  void RenderCaptureFile() override {
    if (render_ != nullptr) render_->RenderCaptureFile();
  }
  void StopRenderFile() override {
    if (render_ != nullptr) render_->StopRenderFile();
  }

 private:
  lv::Performer& performer_;
  lv::RenderController* render_;
};

}  // namespace ui
