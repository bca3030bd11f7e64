#include "catalogue.h"

#include <iterator>

#include "descriptor.h"
#include "effects/brighten_dim_source.h"
#include "effects/invert_source.h"

namespace kestrix {
namespace {

// Static for the library's lifetime: the host keeps their addresses.
Descriptor<BrightenDimSource> brightenDimSourceDesc;
Descriptor<InvertSource> invertSourceDesc;

lv::PlugDesc* const kCatalogue[] = {
    &brightenDimSourceDesc,
    &invertSourceDesc,
};

}  // namespace

int32_t CatalogueSize() { return int32_t(std::size(kCatalogue)); }

lv::PlugDesc* CatalogueEntry(uint32_t index) { return index < std::size(kCatalogue) ? kCatalogue[index] : nullptr; }

}  // namespace kestrix
