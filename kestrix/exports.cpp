// The library's entry points, looked up by name by the program's loader.
#include "catalogue.h"

#define KESTRIX_EXPORT extern "C" __attribute__((visibility("default")))

namespace {
// The plug-in interface version the program requires.
constexpr int kInterfaceVersion = 768;
}  // namespace

KESTRIX_EXPORT int lvpGetVersion() { return kInterfaceVersion; }

KESTRIX_EXPORT int lvpGetNumPlugs() { return kestrix::CatalogueSize(); }

// Compared as unsigned, so a negative index finds nothing.
KESTRIX_EXPORT lv::PlugDesc* lvpGetPlugDesc(int index) { return kestrix::CatalogueEntry(static_cast<uint32_t>(index)); }
