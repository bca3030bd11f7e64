#include "capture/capture_device.h"

#include "capture/capture_log.h"

namespace builtin {

namespace {
const char kNotConnected[] =
    "Make sure that a video capture device is connected and functionaland is not being used by another capture "
    "application.";
}  // namespace

std::unique_ptr<capture::VideoDevice> CaptureDevice::BindFilter() {
  const auto names = system_.Enumerate();
  if (!names) {
    CaptureLog("Couldn't create system device enumerator.");
    return nullptr;
  }
  if (names->empty()) {
    CaptureLog("No video capture device was detected.");
    return nullptr;
  }
  if (index_ < 0 || static_cast<size_t>(index_) >= names->size()) {
    CaptureLog("Unable to access video capture device.");
    return nullptr;
  }
  std::unique_ptr<capture::VideoDevice> device = system_.Bind(index_);
  if (!device) CaptureLog("Couldn't bind moniker to filter object.");
  return device;
}

bool CaptureDevice::BuildCaptureGraph(TextureRenderer& renderer) {
  graph_ = BindFilter();
  if (!graph_) {
    CaptureLog("Could not add the capture filter to the graph.%s", kNotConnected);
    return false;
  }
  if (input_ && !graph_->Inputs().empty()) graph_->SelectInput(input_->pinIndex);
  // Without a chosen format the device keeps its own.
  if (format_) graph_->SetFormat(format_->mediaType);
  capture::VideoFormat current;
  if (!graph_->CurrentFormat(&current) || renderer.CheckMediaType(&current) != RenderResult::Ok ||
      !renderer.SetMediaType(current)) {
    CaptureLog("Could not render the capture stream.%s", kNotConnected);
    return false;
  }
  return true;
}

bool CaptureDevice::Start() {
  ReleaseGraph();
  if (!env_.host) {
    CaptureLog("Could not create texture renderer object.");
    return false;
  }
  renderer_ = std::make_unique<TextureRenderer>(*env_.host);
  renderer_->SetFlip(flip_);
  if (!BuildCaptureGraph(*renderer_)) return false;
  if (!graph_->StartStreaming(renderer_.get())) {
    CaptureLog("Could not run the filter graph.");
    return false;
  }
  if (env_.makeKind) kind_ = env_.makeKind(*this);
  if (kind_ && env_.registrar) {
    env_.registrar->Register(kind_.get());
    kindRegistered_ = true;
  }
  running_ = true;
  return true;
}

bool CaptureDevice::Stop() {
  running_ = false;
  if (kindRegistered_ && env_.registrar) env_.registrar->Unregister(kind_.get());
  kindRegistered_ = false;
  if (graph_) graph_->StopStreaming();
  ReleaseGraph();
  return true;
}

void CaptureDevice::ReleaseGraph() {
  if (running_) Stop();
  if (kindRegistered_ && env_.registrar) env_.registrar->Unregister(kind_.get());
  kindRegistered_ = false;
  kind_.reset();
  // The streaming thread ends before the renderer it writes into goes.
  if (graph_) graph_->StopStreaming();
  graph_.reset();
  renderer_.reset();
}

bool CaptureDevice::SetFormat(CaptureFormat* format) {
  format_ = format;
  if (running_) {
    Stop();
    Start();
  }
  return true;
}

bool CaptureDevice::SetInput(CaptureInput* input) {
  input_ = input;
  if (running_) {
    Stop();
    Start();
  }
  return true;
}

void CaptureDevice::SetFlip(bool flip) {
  flip_ = flip;
  if (running_ && renderer_) renderer_->SetFlip(flip);
}

CaptureFormat* CaptureDevice::FindFormat(uint32_t width, uint32_t height, uint32_t fourcc) const {
  for (lv::ListNode* n = formats_.Head(); n; n = n->Next()) {
    auto* f = static_cast<CaptureFormat*>(n);
    if (f->width == width && f->height == height && f->fourcc == fourcc) return f;
  }
  return nullptr;
}

}  // namespace builtin
