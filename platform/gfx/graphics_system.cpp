// Adapters, display modes and device creation.
#include "platform/gfx/graphics_system.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <tuple>
#include <vector>

#include "egl_context.h"
#include "gl_device.h"

// Last: X11 defines macros (Bool, Status, None) that clash with our names.
#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>

namespace gfx {

namespace {

struct Adapter {
  AdapterIdentifier id;
  std::vector<DisplayMode> modes;  // format left Unknown: listed for each display format
};

bool IsDisplayFormat(Format f) { return f == Format::X8R8G8B8 || f == Format::R5G6B5; }

std::vector<DisplayMode> FixedModes() {
  const uint32_t sizes[][2] = {{640, 480}, {800, 600}, {1024, 768}, {1280, 720}, {1280, 1024}, {1920, 1080}};
  std::vector<DisplayMode> modes;
  for (auto& s : sizes) modes.push_back(DisplayMode{s[0], s[1], 60, Format::Unknown});
  return modes;
}

// One adapter per connected output of the X11 display; none without a display.
std::vector<Adapter> X11Adapters() {
  std::vector<Adapter> adapters;
  if (!std::getenv("DISPLAY")) return adapters;
  Display* x = XOpenDisplay(nullptr);
  if (!x) return adapters;
  int eventBase = 0, errorBase = 0;
  if (XRRQueryExtension(x, &eventBase, &errorBase)) {
    XRRScreenResources* res = XRRGetScreenResourcesCurrent(x, DefaultRootWindow(x));
    for (int o = 0; res && o < res->noutput; ++o) {
      XRROutputInfo* out = XRRGetOutputInfo(x, res, res->outputs[o]);
      if (!out) continue;
      if (out->connection == RR_Connected && out->nmode > 0) {
        Adapter a;
        a.id.deviceName = out->name;
        for (int m = 0; m < out->nmode; ++m) {
          for (int i = 0; i < res->nmode; ++i) {
            const XRRModeInfo& info = res->modes[i];
            if (info.id != out->modes[m]) continue;
            const double total = static_cast<double>(info.hTotal) * info.vTotal;
            const auto hz = static_cast<uint32_t>(total > 0 ? std::lround(info.dotClock / total) : 60);
            a.modes.push_back(DisplayMode{info.width, info.height, hz, Format::Unknown});
          }
        }
        adapters.push_back(std::move(a));
      }
      XRRFreeOutputInfo(out);
    }
    if (res) XRRFreeScreenResources(res);
  }
  if (adapters.empty()) {  // a display without RandR outputs (some virtual servers): its screen size
    Adapter a;
    a.id.deviceName = DisplayString(x);
    const int s = DefaultScreen(x);
    a.modes.push_back(DisplayMode{static_cast<uint32_t>(DisplayWidth(x, s)), static_cast<uint32_t>(DisplayHeight(x, s)),
                                  60, Format::Unknown});
    adapters.push_back(std::move(a));
  }
  XCloseDisplay(x);
  for (Adapter& a : adapters) {
    std::sort(a.modes.begin(), a.modes.end(), [](const DisplayMode& l, const DisplayMode& r) {
      return std::tie(l.width, l.height, l.refreshRate) < std::tie(r.width, r.height, r.refreshRate);
    });
    a.modes.erase(std::unique(a.modes.begin(), a.modes.end(),
                              [](const DisplayMode& l, const DisplayMode& r) {
                                return l.width == r.width && l.height == r.height && l.refreshRate == r.refreshRate;
                              }),
                  a.modes.end());
  }
  return adapters;
}

class GlGraphicsSystem final : public GraphicsSystem {
 public:
  GlGraphicsSystem(std::vector<Adapter> adapters, DeviceCaps caps) : adapters_(std::move(adapters)), caps_(caps) {}

  uint32_t GetAdapterCount() override { return static_cast<uint32_t>(adapters_.size()); }

  Result GetAdapterIdentifier(uint32_t adapter, AdapterIdentifier* id) override {
    if (adapter >= adapters_.size() || !id) return Result::InvalidCall;
    *id = adapters_[adapter].id;
    return Result::Ok;
  }

  uint32_t GetAdapterModeCount(uint32_t adapter, Format format) override {
    if (adapter >= adapters_.size() || !IsDisplayFormat(format)) return 0;
    return static_cast<uint32_t>(adapters_[adapter].modes.size());
  }

  Result EnumAdapterModes(uint32_t adapter, Format format, uint32_t mode, DisplayMode* out) override {
    if (!out || mode >= GetAdapterModeCount(adapter, format)) return Result::InvalidCall;
    *out = adapters_[adapter].modes[mode];
    out->format = format;
    return Result::Ok;
  }

  Result GetDeviceCaps(uint32_t adapter, DeviceType, DeviceCaps* caps) override {
    if (adapter >= adapters_.size() || !caps) return Result::InvalidCall;
    *caps = caps_;
    return Result::Ok;
  }

  Result CreateDevice(uint32_t adapter, DeviceType, NativeWindow focusWindow, uint32_t, PresentParameters* params,
                      Device** device) override {
    if (adapter >= adapters_.size() || !params || !device) return Result::InvalidCall;
    // Full screen needs a display format, as Direct3D does; windowed takes the desktop's.
    if (!params->windowed && params->backBufferFormat == Format::Unknown) return Result::NotAvailable;
    const uint64_t window = params->deviceWindow.handle ? params->deviceWindow.handle : focusWindow.handle;
    std::string error;
    std::unique_ptr<EglContext> context = EglContext::Create(window, &error);
    if (!context) return Result::NotAvailable;
    const Result r = GlDevice::Create(std::move(context), *params, device);
    if (Succeeded(r)) (*device)->GetPresentParameters(params);
    return r;
  }

 private:
  std::vector<Adapter> adapters_;
  DeviceCaps caps_;
};

}  // namespace

std::unique_ptr<GraphicsSystem> CreateGraphicsSystem() {
  // A first context shows that OpenGL 4.5 is there and names the renderer.
  std::string error;
  std::unique_ptr<EglContext> probe = EglContext::Create(0, &error);
  if (!probe || !probe->MakeCurrent()) return nullptr;
  const auto* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
  const std::string description = renderer ? renderer : "OpenGL 4.5";
  GLint maxSize = 0;
  glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
  probe->ReleaseCurrent();
  probe.reset();

  DeviceCaps caps;
  caps.maxTextureWidth = caps.maxTextureHeight = static_cast<uint32_t>(maxSize);
  caps.maxSimultaneousTextures = kTextureStages;
  caps.maxStreams = kStreams;
  caps.maxPrimitiveCount = caps.maxVertexIndex = 0xFFFFFF;
  caps.numSimultaneousRTs = 1;
  caps.maxVertexShaderConst = kVertexConstantRegisters;
  caps.vertexShaderMajor = caps.pixelShaderMajor = 3;

  std::vector<Adapter> adapters = X11Adapters();
  if (adapters.empty()) {
    Adapter a;
    a.id.deviceName = "offscreen";
    a.modes = FixedModes();
    adapters.push_back(std::move(a));
  }
  for (Adapter& a : adapters) a.id.description = description;
  return std::make_unique<GlGraphicsSystem>(std::move(adapters), caps);
}

}  // namespace gfx
