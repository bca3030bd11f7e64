#pragma once
// The registry's source-kind list as the work buffers use it.
#include "lv/source_desc.h"

namespace lv {

class SourceKindList {
 public:
  virtual ~SourceKindList() = default;
  // Appends the kind; the descriptor stays the caller's.
  virtual void RegisterSourceKind(SourceDesc* descriptor) = 0;
  virtual void UnregisterSourceKind(SourceDesc* descriptor) = 0;
};

}  // namespace lv
