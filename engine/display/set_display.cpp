#include "display/set_display.h"

#include "display/display_environment.h"
#include "display/display_host.h"
#include "performer/performer.h"
#include "platform/sys/clock.h"
#include "platform/sys/log.h"
#include "workbuffers/work_buffer.h"

namespace lv {

const char* DisplayErrorText(int code) {
  switch (code) {
    case D3D::kNoGraphicsSystem:
      return "Lorvane GPU requires OpenGL 4.5 or later installed.\n"
             "Please install the latest graphics drivers from https://www.mesa3d.org/ or your card's vendor.";
    case D3D::kNoDevice:
      return "Lorvane GPU requires a 3D accelerated video card that includes both pixel and vertex processing.\n"
             "If you have such a card installed, it may be configured incorrectly, or it may need a driver update.";
    default:
      return "Lorvane GPU could not set up its display.";
  }
}

DisplayRequest DisplaySwitch::FullScreenRequest() const {
  DisplayRequest request = d3d_.request;
  const Performance* performance = performer_.GetPerformance();
  if (performance == nullptr) return request;
  const int32_t adapter = performance->displayAdapter;
  request.adapter = adapter >= 0 && adapter < d3d_.AdapterCount() ? static_cast<uint32_t>(adapter) : 0;
  request.width = static_cast<uint32_t>(performance->width);
  request.height = static_cast<uint32_t>(performance->height);
  request.bitsPerPixel = static_cast<uint32_t>(performance->bitsPerPixel);
  request.refreshRate = static_cast<uint32_t>(performance->refreshRate);
  return request;
}

bool DisplaySwitch::SetDisplay(bool fullScreen) {
  if (ended_) {
    sys::Log("No display set up: the program is shutting down");
    return false;
  }
  sys::Log("SetDisplay started");
  if (fullScreen) {
    // Checked before anything is torn down, so a request this screen cannot
    // show leaves the windowed display as it was.
    const DisplayRequest wanted = FullScreenRequest();
    if (d3d_.FullScreenFormat(wanted) == gfx::Format::Unknown) {
      sys::Log("Display mode %ux%u, %u bits, %u Hz is not available on adapter %u", wanted.width, wanted.height,
               wanted.bitsPerPixel, wanted.refreshRate, wanted.adapter);
      environment_.ReportModeUnavailable(wanted);
      if (!fullScreen_) {
        sys::Log("SetDisplay finished");
        return true;
      }
      fullScreen = false;
    }
  }
  return Rebuild(fullScreen);
}

bool DisplaySwitch::Rebuild(bool fullScreen) {
  Performance* performance = performer_.GetPerformance();
  // What the device in use was made for: the way back when the new one
  // cannot be made.
  const bool hadDevice = d3d_.Device() != nullptr;
  const DisplayRequest previous = d3d_.request;

  sys::Log("Halting performance");
  // Program changes that arrive while halted wait for the first pass after
  // the switch, so no bank is bound to the device being torn down. A render
  // thread that does not answer keeps the display as it is: its pass may be
  // drawing on the device.
  bool halted = performer_.SetState(Halted);
  sys::Sleep(1);
  halted = halted && performer_.StopAllNotes();
  for (uint8_t channel = 0; halted && channel < Performer::kChannels; ++channel)
    halted = performer_.SetChannelBank(channel, nullptr);
  if (!halted) {
    sys::Log("SetDisplay refused: the render thread is not responding");
    return true;
  }
  sys::Log("Halted performance");

  sys::Log("Releasing Capture Surfaces");
  environment_.ReleaseCaptureSurfaces();
  sys::Log("Releasing Frame Buffer Surfaces");
  workBuffers_.SetCount(0);

  D3D::InitResult result;
  if (fullScreen) {
    d3d_.Shutdown();
    d3d_.request = FullScreenRequest();
    result = d3d_.Init(environment_.FullScreenWindow(), true);
    if (result == D3D::kInitOk) {
      environment_.ShowFullScreenWindow(d3d_.request);
      if (performance != nullptr && performance->hide) environment_.ShowCursor(false);
    }
  } else {
    sys::Log("Calling D3D.Shutdown");
    d3d_.Shutdown();
    environment_.HideFullScreenWindow();
    environment_.ShowCursor(true);
    environment_.ActivateMainDialog();
    sys::Log("Calling D3D.Init");
    if (performance != nullptr) {
      d3d_.request.width = static_cast<uint32_t>(performance->width);
      d3d_.request.height = static_cast<uint32_t>(performance->height);
    }
    result = d3d_.Init(environment_.WindowedOutput(), false);
  }
  if (result == D3D::kNoMatchingMode) {
    // Only reachable when the mode list changed under us: same as the check above.
    environment_.ReportModeUnavailable(d3d_.request);
    return Rebuild(false);
  }
  if (result != D3D::kInitOk && hadDevice) {
    // A size or mode the device cannot be made for (a damaged project, a
    // card short of memory) must not end the show while the old one works.
    sys::Log("No device for %ux%u (code %d): going back to a %ux%u window", d3d_.request.width,
             d3d_.request.height, static_cast<int>(result), previous.width, previous.height);
    environment_.ReportModeUnavailable(d3d_.request);
    d3d_.Shutdown();
    if (fullScreen) {
      environment_.HideFullScreenWindow();
      environment_.ShowCursor(true);
      environment_.ActivateMainDialog();
      fullScreen = false;
    }
    d3d_.request = previous;
    result = d3d_.Init(environment_.WindowedOutput(), false);
  }
  if (result != D3D::kInitOk) {
    sys::Log("Direct3D initialisation failed with code %d", static_cast<int>(result));
    if (beforeFatalError_) beforeFatalError_();
    environment_.FatalDisplayError(result);
    return false;
  }
  if (!fullScreen) sys::Log("Preparing framebuffers");
  d3d_.BeginFrame();
  {
    sys::CriticalSectionLock lock(d3d_.DeviceLock());
    d3d_.EndScene();
  }
  {
    sys::CriticalSectionLock lock(d3d_.DeviceLock());
    d3d_.Present();
  }

  host_.SetDevice(d3d_.Device());
  sys::Log(d3d_.Device() != nullptr ? "Device pointer acquired" : "Device pointer invalid");
  sys::Log("Calling D3D.GetBackBuffer");
  gfx::Surface* backBuffer = d3d_.BackBuffer();
  host_.SetCurrentTarget(backBuffer);
  sys::Log(backBuffer != nullptr ? "BackBuffer pointer acquired" : "BackBuffer pointer invalid");
  if (backBuffer != nullptr) {
    backBuffer->AddRef();
    sys::Log("Surface ref count = %u", static_cast<unsigned>(backBuffer->Release()));
  }

  const uint32_t textureCaps = d3d_.Caps().textureCaps;
  const bool nonPow2 =
      !((textureCaps & gfx::texturecaps::Pow2) && !(textureCaps & gfx::texturecaps::NonPow2Conditional));
  sys::Log("Non-Pow2 textures %s supported", nonPow2 ? "are" : "not");
  host_.SetTextureRules(nonPow2, performance == nullptr || performance->npw2 == 1);

  sys::Log("Calling LVI.GetTargetDesc");
  host_.RefreshTargetDesc();

  sys::Log("Setting viewport properties");
  if (gfx::Device* device = d3d_.Device()) {
    sys::CriticalSectionLock lock(d3d_.DeviceLock());
    device->SetViewport(gfx::Viewport{0, 0, d3d_.request.width, d3d_.request.height, 0.0f, 1.0f});
  }

  sys::Log("Restoring capture devices and surfaces");
  environment_.RestoreCaptureSurfaces();
  sys::Log("Restoring Frame Buffer surfaces");
  if (performance != nullptr) workBuffers_.SetCount(performance->workBuffers);

  sys::Sleep(10);
  sys::Log("Restarting performer");
  if (performance != nullptr) {
    for (uint8_t channel = 0; channel < Performer::kChannels; ++channel) {
      if (!fullScreen || ((performance->channelMask >> channel) & 1))
        performer_.SetChannelBank(channel, performance->currentBank);
    }
  }

  fullScreen_ = fullScreen;
  performer_.SetState(fullScreen ? FullScreen : Live);
  sys::Log("SetDisplay finished");
  return true;
}

}  // namespace lv
