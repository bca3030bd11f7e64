#pragma once
// What plug-in and source kind descriptors have in common (their first
// operations, in binding order). Descriptors of a library are static objects
// that the host never destroys.
#include <cstdint>

#include "lv/class_id.h"

namespace lv {

class KindDesc {
 public:
  virtual ~KindDesc() = default;
  virtual int32_t GetKind() = 0;
  virtual const ClassId* GetClassId() = 0;
  virtual const char* GetCategory() = 0;
  virtual const char* GetName() = 0;
  virtual const char* GetDescription() = 0;

 protected:
  KindDesc() = default;
  KindDesc(const KindDesc&) = delete;
  KindDesc& operator=(const KindDesc&) = delete;
};

}  // namespace lv
