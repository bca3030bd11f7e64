#pragma once
// The descriptor of one plug-in class: the class's constants, and Create.
#include <new>

#include "lv/plug_desc.h"

namespace kestrix {

// PlugClass provides kKind, kClassId, kCategory, kName and kDescription.
template <class PlugClass>
class Descriptor final : public lv::PlugDesc {
 public:
  int32_t GetKind() override { return PlugClass::kKind; }
  const lv::ClassId* GetClassId() override { return &PlugClass::kClassId; }
  const char* GetCategory() override { return PlugClass::kCategory; }
  const char* GetName() override { return PlugClass::kName; }
  const char* GetDescription() override { return PlugClass::kDescription; }
  // Null when memory runs out; the host then has no instance.
  lv::Plug* Create() override { return new (std::nothrow) PlugClass; }
};

}  // namespace kestrix
