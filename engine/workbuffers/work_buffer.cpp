#include "workbuffers/work_buffer.h"

#include <cstdio>

#include "display/display_host.h"
#include "workbuffers/source_kind_list.h"

namespace lv {

WorkBuffer::WorkBuffer(DisplayHost& host, SourceKindList* kinds, const WorkBufferKindMaker& makeKind)
    : host_(host), kinds_(kinds), makeKind_(makeKind) {}

WorkBuffer::~WorkBuffer() { ReleaseResources(); }

void WorkBuffer::ReleaseResources() {
  if (sourceKind) {
    if (kinds_ != nullptr) kinds_->UnregisterSourceKind(sourceKind.get());
    sourceKind.reset();
  }
  if (surface != nullptr) surface->Release();
  if (texture != nullptr) texture->Release();
  surface = nullptr;
  texture = nullptr;
}

bool WorkBuffer::CreateResources(uint32_t newWidth, uint32_t newHeight) {
  ReleaseResources();
  width = newWidth;
  height = newHeight;
  format = gfx::Format::Unknown;
  if (gfx::Surface* target = host_.CurrentTarget()) {
    gfx::SurfaceDesc desc;
    if (gfx::Succeeded(target->GetDesc(&desc))) format = desc.format;
  }
  gfx::Device* device = host_.Device();
  if (device == nullptr) return false;
  if (gfx::Failed(device->CreateTexture(width, height, 1, gfx::usage::RenderTarget, format, gfx::Pool::Default,
                                        &texture)) ||
      texture == nullptr) {
    texture = nullptr;
    return false;
  }
  if (gfx::Failed(texture->GetSurfaceLevel(0, &surface)) || surface == nullptr) {
    surface = nullptr;
    ReleaseResources();
    return false;
  }
  device->ColorFill(surface, nullptr, 0);
  gfx::SurfaceDesc desc;
  if (gfx::Succeeded(surface->GetDesc(&desc))) format = desc.format;

  if (makeKind_) sourceKind = makeKind_(*this);
  if (sourceKind && kinds_ != nullptr) kinds_->RegisterSourceKind(sourceKind.get());
  return true;
}

void WorkBufferTable::Connect(DisplayHost* host, SourceKindList* kinds, WorkBufferKindMaker makeKind) {
  host_ = host;
  kinds_ = kinds;
  makeKind_ = std::move(makeKind);
}

WorkBuffer* WorkBufferTable::At(int index) const {
  if (index < 0 || index >= count_) return nullptr;
  return buffers_[index];
}

void WorkBufferTable::DeleteAt(int index) {
  delete buffers_[index];
  buffers_[index] = nullptr;
}

WorkBuffer* WorkBufferTable::CreateAt(int index, uint32_t width, uint32_t height, const char* name) {
  if (index < 0 || index > kMaxCount) return nullptr;
  DeleteAt(index);
  if (host_ == nullptr) return nullptr;
  auto* buffer = new WorkBuffer(*host_, kinds_, makeKind_);
  buffer->SetName(name);
  if (!buffer->CreateResources(width, height)) {
    // Counts as absent: a note aimed at it draws on the screen instead.
    delete buffer;
    return nullptr;
  }
  buffers_[index] = buffer;
  return buffer;
}

void WorkBufferTable::SetCount(int n) {
  for (int i = 0; i <= kMaxCount; ++i) DeleteAt(i);
  count_ = n < 0 ? 0 : (n > kMaxCount ? kMaxCount : n);
  if (host_ == nullptr) return;
  const gfx::SurfaceDesc& target = host_->TargetDesc();
  for (int i = 0; i < count_; ++i) {
    char name[16];
    std::snprintf(name, sizeof name, "Work %d", i + 1);
    CreateAt(i, target.width, target.height, name);
  }
}

}  // namespace lv
