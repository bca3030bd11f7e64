#pragma once
// A source kind opened by a name of its own rather than from a file (the
// name and a colon): kind 1, animated, no extensions, its name both the
// description and the prefix. A kind gives its class id, category, name and
// Create, and writes the name into name_.
#include <cstdint>

#include "lv/source_desc.h"

namespace builtin {

template <int NameRoom>
class NamedSourceKind : public lv::SourceDesc {
 public:
  static constexpr int kNameRoom = NameRoom;

  int32_t GetKind() override { return 1; }
  const char* GetDescription() override { return name_; }
  bool IsFileBased() override { return false; }
  bool IsAnimated() override { return true; }
  int32_t NumExtensions() override { return 0; }
  const char* Extension(int32_t) override { return nullptr; }
  const char* GetPrefix() override { return name_; }

 protected:
  char name_[kNameRoom] = {};
};

}  // namespace builtin
