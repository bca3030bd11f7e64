#include "avi/avi_source_kind.h"

#include <new>

#include "avi/avi_file_source.h"

namespace lv {
namespace {

class AviFileSourceDesc final : public SourceDesc {
 public:
  int32_t GetKind() override { return kAviFileSourceKind; }
  const ClassId* GetClassId() override { return &kAviFileSourceClassId; }
  const char* GetCategory() override { return "Video"; }
  const char* GetName() override { return "AVIs"; }
  const char* GetDescription() override { return "AVI File Source"; }
  Source* Create() override { return new (std::nothrow) AviFileSource(); }
  bool IsFileBased() override { return true; }
  bool IsAnimated() override { return true; }
  int32_t NumExtensions() override { return 1; }
  const char* Extension(int32_t i) override { return i == 0 ? "AVI" : nullptr; }
  const char* GetPrefix() override { return nullptr; }
};

}  // namespace

SourceDesc* AviFileSourceKind() {
  static AviFileSourceDesc descriptor;
  return &descriptor;
}

}  // namespace lv
