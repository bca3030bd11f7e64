#pragma once
// Common base of every plug-in and source instance. The host writes `host`
// directly into objects a plug-in library allocated, so the layout (table,
// then host) is shared by the program and every library.
#include <cstdint>

#include "lv/class_id.h"
#include "lv/platform_types.h"

namespace lv {

class InstanceBase {
 public:
  // Objects free themselves: the side that created one deletes it through here.
  virtual ~InstanceBase() = default;
  virtual int32_t GetKind() = 0;
  // The kind's id; the memory belongs to the object or its kind.
  virtual const ClassId* GetClassId() = 0;

  // Set by the host right after the kind's Create; null until then.
  LorvaneInterface* host = nullptr;

 protected:
  InstanceBase() = default;
  InstanceBase(const InstanceBase&) = delete;
  InstanceBase& operator=(const InstanceBase&) = delete;
};

}  // namespace lv
