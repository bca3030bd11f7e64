#include "catalogue.h"

#include <iterator>

#include "descriptor.h"
#include "effects/brighten_dim_source.h"
#include "effects/invert_source.h"
#include "effects/group_c/cube_wall_source.h"
#include "effects/group_c/cubist_source.h"
#include "effects/group_c/display_spectrum.h"
#include "effects/group_c/plasma_life.h"
#include "effects/group_c/sphere_pulse_source.h"
#include "effects/group_c/tunnel_source.h"
#include "effects/group_c/wormhole_source.h"

namespace kestrix {
namespace {

// Static for the library's lifetime: the host keeps their addresses.
Descriptor<BrightenDimSource> brightenDimSourceDesc;
Descriptor<InvertSource> invertSourceDesc;
Descriptor<CubeWallSource> cubeWallSourceDesc;
Descriptor<CubistSource> cubistSourceDesc;
Descriptor<DisplaySpectrum> displaySpectrumDesc;
Descriptor<PlasmaLife> plasmaLifeDesc;
Descriptor<SpherePulseSource> spherePulseSourceDesc;
Descriptor<TunnelSource> tunnelSourceDesc;
Descriptor<WormholeSource> wormholeSourceDesc;

lv::PlugDesc* const kCatalogue[] = {
    &brightenDimSourceDesc,  // 3
    &cubistSourceDesc,  // 4
    &invertSourceDesc,  // 9
    &wormholeSourceDesc,  // 11
    &tunnelSourceDesc,  // 12
    &spherePulseSourceDesc,  // 23
    &cubeWallSourceDesc,  // 24
    &displaySpectrumDesc,  // 26
    &plasmaLifeDesc,  // 27
};

}  // namespace

int32_t CatalogueSize() { return int32_t(std::size(kCatalogue)); }

lv::PlugDesc* CatalogueEntry(uint32_t index) { return index < std::size(kCatalogue) ? kCatalogue[index] : nullptr; }

}  // namespace kestrix
