#pragma once
// The source kind a work buffer registers under its own name until the
// frame-buffer source is wired in through the table's kind maker: it names
// the buffer (so choosers list "Work 1", ...) and opens no source yet.
#include <memory>

#include "lv/source_desc.h"
#include "lv/string_class.h"
#include "workbuffers/work_buffer.h"

namespace lv {

class WorkBufferKind final : public SourceDesc {
 public:
  explicit WorkBufferKind(WorkBuffer& buffer);

  int32_t GetKind() override { return 0; }
  const ClassId* GetClassId() override;
  const char* GetCategory() override { return "Work Buffers"; }
  const char* GetName() override { return name_.CStr(); }
  const char* GetDescription() override { return name_.CStr(); }
  Source* Create() override { return nullptr; }
  bool IsFileBased() override { return false; }
  bool IsAnimated() override { return true; }
  int32_t NumExtensions() override { return 0; }
  const char* Extension(int32_t) override { return nullptr; }
  const char* GetPrefix() override { return name_.CStr(); }

  WorkBuffer& buffer;

 private:
  StringClass name_;
};

std::unique_ptr<SourceDesc> MakeWorkBufferKind(WorkBuffer& buffer);

}  // namespace lv
