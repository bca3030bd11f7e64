#pragma once
// Off-screen render targets the size of the back buffer. A note whose target
// is n >= 0 draws into work buffer n, and each buffer is also a source kind
// ("Work 1", "Work 2", ...) that other patches read what was drawn from.
#include <cstdint>
#include <functional>
#include <memory>

#include "lv/named_object.h"
#include "lv/source_desc.h"
#include "platform/gfx/device.h"

namespace lv {

class DisplayHost;
class SourceKindList;
class WorkBuffer;

// Makes the source kind that reads a work buffer.
using WorkBufferKindMaker = std::function<std::unique_ptr<SourceDesc>(WorkBuffer& buffer)>;

class WorkBuffer : public NamedObject {
 public:
  WorkBuffer(DisplayHost& host, SourceKindList* kinds, const WorkBufferKindMaker& makeKind);
  ~WorkBuffer() override;

  // Makes the render-target texture (black) and registers the source kind;
  // false, with nothing registered, when the texture cannot be made.
  bool CreateResources(uint32_t width, uint32_t height);

  uint32_t width = 0;
  uint32_t height = 0;
  gfx::Format format = gfx::Format::Unknown;
  gfx::Texture* texture = nullptr;  // owned reference
  gfx::Surface* surface = nullptr;  // level 0, owned reference
  std::unique_ptr<SourceDesc> sourceKind;

 private:
  void ReleaseResources();

  DisplayHost& host_;
  SourceKindList* kinds_;
  const WorkBufferKindMaker& makeKind_;
};

class WorkBufferTable {
 public:
  static constexpr int kMaxCount = 4;

  WorkBufferTable() = default;
  ~WorkBufferTable() { SetCount(0); }
  WorkBufferTable(const WorkBufferTable&) = delete;
  WorkBufferTable& operator=(const WorkBufferTable&) = delete;

  void Connect(DisplayHost* host, SourceKindList* kinds, WorkBufferKindMaker makeKind);

  // Deletes every buffer, then makes n (clamped to 0..kMaxCount) at the size
  // of the host's target description.
  void SetCount(int n);
  int Count() const { return count_; }
  // The buffer for a note target, or null when it does not exist (never
  // made, or its texture could not be made).
  WorkBuffer* At(int index) const;
  // Replaces the buffer at the index by a new one with that name and size;
  // null when it could not be made.
  WorkBuffer* CreateAt(int index, uint32_t width, uint32_t height, const char* name);

 private:
  void DeleteAt(int index);

  DisplayHost* host_ = nullptr;
  SourceKindList* kinds_ = nullptr;
  WorkBufferKindMaker makeKind_;
  int count_ = 0;
  WorkBuffer* buffers_[kMaxCount + 1] = {};
};

}  // namespace lv
