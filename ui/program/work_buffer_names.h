#pragma once
// The work buffers a note can render into, by their source names.
#include "main_dialog/main_dialog_services.h"
#include "workbuffers/work_buffer.h"

namespace app {

class WorkBufferNames final : public ui::WorkBufferNames {
 public:
  explicit WorkBufferNames(const lv::WorkBufferTable& table) : table_(table) {}
  int Count() const override { return table_.Count(); }
  std::string Name(int index) const override {
    const lv::WorkBuffer* buffer = table_.At(index);
    if (buffer != nullptr && buffer->Name() != nullptr) return buffer->Name();
    return "Work " + std::to_string(index + 1);
  }

 private:
  const lv::WorkBufferTable& table_;
};

}  // namespace app
