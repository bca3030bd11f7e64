// A plug-in library with resources of its own: it answers lookups made from
// inside itself, as a plug-in's FindResource calls are.
#include "platform/sys/resources.h"

extern "C" __attribute__((visibility("default"))) const unsigned char* lvTestPluginResource(const char* type,
                                                                                             uint32_t id,
                                                                                             size_t* size) {
  sys::Resource r = sys::FindResource(type, id);
  *size = r.size;
  return r.data;
}

extern "C" __attribute__((visibility("default"))) const sys::ResourceTable* lvTestPluginModule() {
  return sys::ThisModuleResources();
}
