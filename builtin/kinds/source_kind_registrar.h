#pragma once
// Where run-time source kinds (one per running capture device, one per
// sampler) are registered and unregistered.
#include <functional>
#include <memory>

#include "lv/source_desc.h"

namespace builtin {

class SourceKindRegistrar {
 public:
  virtual ~SourceKindRegistrar() = default;
  virtual void Register(lv::SourceDesc* descriptor) = 0;
  virtual void Unregister(lv::SourceDesc* descriptor) = 0;
};

// A registrar over anything with RegisterSourceKind(desc, module) and
// UnregisterSourceKind(desc), the engine's PlugRegistry among them; the kinds
// are built into the program (no module).
template <class Registry>
class RegistryRegistrar final : public SourceKindRegistrar {
 public:
  explicit RegistryRegistrar(Registry& registry) : registry_(registry) {}
  void Register(lv::SourceDesc* descriptor) override { registry_.RegisterSourceKind(descriptor, nullptr); }
  void Unregister(lv::SourceDesc* descriptor) override { registry_.UnregisterSourceKind(descriptor); }

 private:
  Registry& registry_;
};

}  // namespace builtin
