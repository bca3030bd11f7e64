#pragma once
// The plug-in registry as the main dialog lists its plug-in kinds and as the
// work buffers register their "Work %d" source kinds.
#include "main_dialog/main_dialog_services.h"
#include "registry/plug_registry.h"
#include "workbuffers/source_kind_list.h"

namespace app {

class RegistryPluginKinds final : public ui::PluginKinds {
 public:
  explicit RegistryPluginKinds(lv::PlugRegistry& registry) : registry_(registry) {}
  int Count() const override { return registry_.PlugKindCount(); }
  lv::PlugDesc* At(int index) const override { return registry_.GetPlugKind(index); }
  lv::PlugDesc* Find(const lv::ClassId& id) const override { return registry_.FindPlugKind(id); }
  lv::Plug* Create(lv::PlugDesc* kind) const override { return registry_.CreatePlug(kind); }

 private:
  lv::PlugRegistry& registry_;
};

class RegistrySourceKinds final : public lv::SourceKindList {
 public:
  explicit RegistrySourceKinds(lv::PlugRegistry& registry) : registry_(registry) {}
  // Work buffers belong to the program itself, not to a library.
  void RegisterSourceKind(lv::SourceDesc* descriptor) override { registry_.RegisterSourceKind(descriptor, nullptr); }
  void UnregisterSourceKind(lv::SourceDesc* descriptor) override { registry_.UnregisterSourceKind(descriptor); }

 private:
  lv::PlugRegistry& registry_;
};

}  // namespace app
