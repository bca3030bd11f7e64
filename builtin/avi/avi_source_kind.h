#pragma once
// The "AVIs" source kind: AVI files, found by their extension.
#include "lv/source_desc.h"

namespace lv {

// The kind's one descriptor, a static object.
SourceDesc* AviFileSourceKind();

// Adds the kind to a registry (anything with RegisterSourceKind(desc,
// module), the engine's PlugRegistry among them) as built into the program.
template <class Registry>
void RegisterAviSourceKind(Registry& registry) {
  registry.RegisterSourceKind(AviFileSourceKind(), nullptr);
}

}  // namespace lv
