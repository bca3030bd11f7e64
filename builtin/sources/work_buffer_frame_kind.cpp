#include "sources/work_buffer_frame_kind.h"

#include "sources/frame_buffer_source.h"
#include "workbuffers/work_buffer.h"

namespace builtin {
namespace {

// The buffer outlives its kind: the buffer deletes the kind before it goes.
class WorkBufferFrameKind final : public FrameBufferDesc, private CopiedBuffer {
 public:
  explicit WorkBufferFrameKind(lv::WorkBuffer& buffer) : FrameBufferDesc(buffer.Name(), this), buffer_(buffer) {}

 private:
  uint32_t Width() override { return buffer_.width; }
  uint32_t Height() override { return buffer_.height; }
  gfx::Format Format() override { return buffer_.format; }
  gfx::Surface* Surface() override { return buffer_.surface; }

  lv::WorkBuffer& buffer_;
};

}  // namespace

std::unique_ptr<lv::SourceDesc> MakeWorkBufferFrameKind(lv::WorkBuffer& buffer) {
  return std::make_unique<WorkBufferFrameKind>(buffer);
}

}  // namespace builtin
