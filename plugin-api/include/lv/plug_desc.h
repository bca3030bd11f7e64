#pragma once
// The descriptor of a plug-in kind.
#include "lv/kind_desc.h"
#include "lv/plug.h"

namespace lv {

class PlugDesc : public KindDesc {
 public:
  // A new instance with a null host pointer, owned by the caller and freed
  // through its destructor.
  virtual Plug* Create() = 0;
};

}  // namespace lv
