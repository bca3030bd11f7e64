#pragma once
// The plug-in classes the library hands to the host, in catalogue order.
#include <cstdint>

#include "lv/plug_desc.h"

namespace kestrix {

int32_t CatalogueSize();
// Null outside 0 .. CatalogueSize() - 1.
lv::PlugDesc* CatalogueEntry(uint32_t index);

}  // namespace kestrix
