#pragma once
// The descriptor of a plug-in class: the class's constants, and Create. The
// program's built-in kinds and the plug-in libraries' kinds are static
// objects of this type.
#include <new>

#include "lv/plug_desc.h"

namespace lv {

// PlugClass provides kKind, kClassId, kCategory, kName and kDescription.
template <class PlugClass>
class PlugDescriptor final : public PlugDesc {
 public:
  int32_t GetKind() override { return PlugClass::kKind; }
  const ClassId* GetClassId() override { return &PlugClass::kClassId; }
  const char* GetCategory() override { return PlugClass::kCategory; }
  const char* GetName() override { return PlugClass::kName; }
  const char* GetDescription() override { return PlugClass::kDescription; }
  // Null when memory runs out; the host then has no instance.
  Plug* Create() override { return new (std::nothrow) PlugClass; }
};

}  // namespace lv
