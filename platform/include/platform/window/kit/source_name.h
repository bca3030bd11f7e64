#pragma once
// The name of a plug-in's one source input: a heap copy owned by the
// instance, null while no source is chosen. The input-name operations of
// every plug-in with a single source input answer from it.
#include <cstdint>

namespace kit {

class SourceName {
 public:
  SourceName() = default;
  ~SourceName() { Set(nullptr); }
  SourceName(const SourceName&) = delete;
  SourceName& operator=(const SourceName&) = delete;

  const char* Get() const { return name_; }
  // Frees the stored name; stores a copy of `name` unless it is null.
  void Set(const char* name);

  // Input 0 is the source; every other index has no name.
  const char* InputName(int32_t index) const { return index == 0 ? name_ : nullptr; }
  void SetInputName(int32_t index, const char* name) {
    if (index == 0) Set(name);
  }

 private:
  char* name_ = nullptr;
};

}  // namespace kit
