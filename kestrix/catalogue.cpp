#include "catalogue.h"

#include <iterator>

#include "descriptor.h"
#include "effects/brighten_dim_source.h"
#include "effects/group_b/cross_hatch_source.h"
#include "effects/group_b/fractal_shuffle_source.h"
#include "effects/group_b/kaleidoscope_source.h"
#include "effects/group_b/outline_source.h"
#include "effects/group_b/pixel_shuffle_source.h"
#include "effects/group_b/radial_blur_source.h"
#include "effects/group_b/smooth_source.h"
#include "effects/group_b/solarize_source.h"
#include "effects/group_b/tile_source.h"
#include "effects/invert_source.h"

namespace kestrix {
namespace {

// Static for the library's lifetime: the host keeps their addresses.
Descriptor<BrightenDimSource> brightenDimSourceDesc;
Descriptor<InvertSource> invertSourceDesc;
Descriptor<SolarizeSource> solarizeSourceDesc;
Descriptor<OutlineSource> outlineSourceDesc;
Descriptor<TileSource> tileSourceDesc;
Descriptor<RadialBlurSource> radialBlurSourceDesc;
Descriptor<FractalShuffleSource> fractalShuffleSourceDesc;
Descriptor<PixelShuffleSource> pixelShuffleSourceDesc;
Descriptor<KaleidoscopeSource> kaleidoscopeSourceDesc;
Descriptor<SmoothSource> smoothSourceDesc;
Descriptor<CrossHatchSource> crossHatchSourceDesc;

lv::PlugDesc* const kCatalogue[] = {
    &brightenDimSourceDesc,  // 3
    &kaleidoscopeSourceDesc,  // 5
    &invertSourceDesc,  // 9
    &crossHatchSourceDesc,  // 13
    &smoothSourceDesc,  // 14
    &outlineSourceDesc,  // 15
    &solarizeSourceDesc,  // 16
    &radialBlurSourceDesc,  // 17
    &pixelShuffleSourceDesc,  // 18
    &fractalShuffleSourceDesc,  // 20
    &tileSourceDesc,  // 25
};

}  // namespace

int32_t CatalogueSize() { return int32_t(std::size(kCatalogue)); }

lv::PlugDesc* CatalogueEntry(uint32_t index) { return index < std::size(kCatalogue) ? kCatalogue[index] : nullptr; }

}  // namespace kestrix
