#include <cstring>

#include "gl_device.h"

namespace gfx {

GlBufferStore::~GlBufferStore() { Free(); }

void GlBufferStore::Free() {
  if (gl_) glDeleteBuffers(1, &gl_);
  gl_ = 0;
}

bool GlBufferStore::Init(uint32_t size) {
  if (size == 0) return false;
  cpu_.assign(size, 0);
  glCreateBuffers(1, &gl_);
  glNamedBufferData(gl_, size, cpu_.data(), GL_DYNAMIC_DRAW);
  return glGetError() != GL_OUT_OF_MEMORY;
}

Result GlBufferStore::Lock(uint32_t offset, uint32_t size, void** data, uint32_t flags) {
  if (!data || locked_) return Result::InvalidCall;
  if (offset == 0 && size == 0) size = Size();
  if (offset > Size() || size > Size() - offset) return Result::InvalidCall;
  locked_ = true;
  lockOffset_ = offset;
  lockSize_ = size;
  lockFlags_ = flags;
  *data = cpu_.data() + offset;
  return Result::Ok;
}

Result GlBufferStore::Unlock() {
  if (!locked_) return Result::InvalidCall;
  locked_ = false;
  if (lockFlags_ & lock::ReadOnly) return Result::Ok;
  if (lockFlags_ & lock::Discard)
    glNamedBufferData(gl_, Size(), cpu_.data(), GL_DYNAMIC_DRAW);  // a fresh store: no wait for pending draws
  else if (lockSize_ > 0)
    glNamedBufferSubData(gl_, lockOffset_, lockSize_, cpu_.data() + lockOffset_);
  return Result::Ok;
}

GlVertexBuffer::GlVertexBuffer(GlDevice* device, uint32_t size, uint32_t usage, Pool pool) : RefCounted(device) {
  desc_.size = size;
  desc_.usage = usage;
  desc_.pool = pool;
}

GlVertexBuffer::~GlVertexBuffer() {
  DeviceScope scope(device_->Lock());
  device_->Forget(this);
  store_.Free();
}

Result GlVertexBuffer::Lock(uint32_t offset, uint32_t size, void** data, uint32_t flags) {
  DeviceScope scope(device_->Lock());
  return store_.Lock(offset, size, data, flags);
}

Result GlVertexBuffer::Unlock() {
  DeviceScope scope(device_->Lock());
  return store_.Unlock();
}

GlIndexBuffer::GlIndexBuffer(GlDevice* device, uint32_t size, uint32_t usage, Format format, Pool pool)
    : RefCounted(device) {
  desc_.format = format;
  desc_.size = size;
  desc_.usage = usage;
  desc_.pool = pool;
}

GlIndexBuffer::~GlIndexBuffer() {
  DeviceScope scope(device_->Lock());
  device_->Forget(this);
  store_.Free();
}

Result GlIndexBuffer::Lock(uint32_t offset, uint32_t size, void** data, uint32_t flags) {
  DeviceScope scope(device_->Lock());
  return store_.Lock(offset, size, data, flags);
}

Result GlIndexBuffer::Unlock() {
  DeviceScope scope(device_->Lock());
  return store_.Unlock();
}

}  // namespace gfx
