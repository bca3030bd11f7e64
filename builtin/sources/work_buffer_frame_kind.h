#pragma once
// The source kind of a work buffer: a frame-buffer source that copies the
// buffer, named like it ("Work 1:", ...). Given to the work-buffer table as
// its kind maker.
#include <memory>

#include "lv/source_desc.h"

namespace lv {
class WorkBuffer;
}

namespace builtin {

std::unique_ptr<lv::SourceDesc> MakeWorkBufferFrameKind(lv::WorkBuffer& buffer);

}  // namespace builtin
