#include "workbuffers/work_buffer_kind.h"

namespace lv {
namespace {
constexpr ClassId kWorkBufferKindId{0x4c56574b, 0x5742, 0x0001, {0x57, 0x6f, 0x72, 0x6b, 0x42, 0x75, 0x66, 0x66}};
}

WorkBufferKind::WorkBufferKind(WorkBuffer& buffer) : buffer(buffer), name_(buffer.Name()) {}

const ClassId* WorkBufferKind::GetClassId() { return &kWorkBufferKindId; }

std::unique_ptr<SourceDesc> MakeWorkBufferKind(WorkBuffer& buffer) { return std::make_unique<WorkBufferKind>(buffer); }

}  // namespace lv
