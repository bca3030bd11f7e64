#pragma once
// A display environment that journals what a display switch asks of the
// windows ("show fullscreen", "cursor off", ...) and can run code in the
// middle of a switch.
#include <functional>
#include <string>

#include "display/display_environment.h"
#include "journal.h"

namespace lvtest {

class RecordingDisplayEnvironment final : public lv::DisplayEnvironment {
 public:
  explicit RecordingDisplayEnvironment(Journal* journal) : journal_(journal) {}

  gfx::NativeWindow FullScreenWindow() override { return {}; }
  gfx::NativeWindow WindowedOutput() override { return {}; }
  void ShowFullScreenWindow(const lv::DisplayRequest&) override { journal_->Add("show fullscreen"); }
  void HideFullScreenWindow() override { journal_->Add("hide fullscreen"); }
  void ShowCursor(bool show) override { journal_->Add(show ? "cursor on" : "cursor off"); }
  void ActivateMainDialog() override { journal_->Add("activate dialog"); }
  void ReleaseCaptureSurfaces() override {
    journal_->Add("release capture");
    if (duringSwitch) duringSwitch();
  }
  void RestoreCaptureSurfaces() override { journal_->Add("restore capture"); }
  void ReportModeUnavailable(const lv::DisplayRequest& r) override {
    journal_->Add("mode unavailable " + std::to_string(r.width) + "x" + std::to_string(r.height));
  }
  void FatalDisplayError(int code) override { journal_->Add("fatal " + std::to_string(code)); }

  // Runs while the old device's surfaces are being released.
  std::function<void()> duringSwitch;

 private:
  Journal* journal_;
};

}  // namespace lvtest
