#pragma once
// The descriptor of a built-in plug-in class: the class's constants, and
// Create. Built-in descriptors are static objects of the program.
#include <new>

#include "lv/plug_desc.h"

namespace builtin {

// PlugClass provides kKind, kClassId, kCategory, kName and kDescription.
template <class PlugClass>
class PlugDescriptor final : public lv::PlugDesc {
 public:
  int32_t GetKind() override { return PlugClass::kKind; }
  const lv::ClassId* GetClassId() override { return &PlugClass::kClassId; }
  const char* GetCategory() override { return PlugClass::kCategory; }
  const char* GetName() override { return PlugClass::kName; }
  const char* GetDescription() override { return PlugClass::kDescription; }
  // Null when memory runs out.
  lv::Plug* Create() override { return new (std::nothrow) PlugClass; }
};

}  // namespace builtin
