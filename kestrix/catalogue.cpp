#include "catalogue.h"

#include <iterator>

#include "lv/plug_descriptor.h"
#include "effects_2d/brighten_dim_source.h"
#include "controllers/mini_ssc.h"
#include "generators/polarity.h"
#include "effects_2d/blend_source.h"
#include "effects_2d/blur_source.h"
#include "effects_2d/chroma_key_source.h"
#include "effects_2d/fade_source.h"
#include "effects_2d/glow_source.h"
#include "effects_2d/hsv_modify_source.h"
#include "text/show_text.h"
#include "effects_2d/wipe_source.h"
#include "effects_2d/cross_hatch_source.h"
#include "effects_2d/fractal_shuffle_source.h"
#include "effects_2d/kaleidoscope_source.h"
#include "effects_2d/outline_source.h"
#include "effects_2d/pixel_shuffle_source.h"
#include "effects_2d/radial_blur_source.h"
#include "effects_2d/smooth_source.h"
#include "effects_2d/solarize_source.h"
#include "effects_2d/tile_source.h"
#include "generators/rays_generator.h"
#include "generators/string_theory.h"
#include "effects_3d/supershape.h"
#include "generators/twister_generator.h"
#include "effects_2d/invert_source.h"
#include "effects_3d/cube_wall_source.h"
#include "effects_3d/cubist_source.h"
#include "effects_3d/display_spectrum.h"
#include "effects_2d/plasma_life.h"
#include "effects_3d/sphere_pulse_source.h"
#include "effects_3d/tunnel_source.h"
#include "effects_3d/wormhole_source.h"

namespace kestrix {
namespace {

// Static for the library's lifetime: the host keeps their addresses.
lv::PlugDescriptor<BrightenDimSource> brightenDimSourceDesc;
lv::PlugDescriptor<InvertSource> invertSourceDesc;
lv::PlugDescriptor<MiniSscCom1> miniSscCom1Desc;
lv::PlugDescriptor<MiniSscCom2> miniSscCom2Desc;
lv::PlugDescriptor<Polarity> polarityDesc;
lv::PlugDescriptor<FadeSource> fadeSourceDesc;
lv::PlugDescriptor<HsvModifySource> hsvModifySourceDesc;
lv::PlugDescriptor<WipeSource> wipeSourceDesc;
lv::PlugDescriptor<ChromaKeySource> chromaKeySourceDesc;
lv::PlugDescriptor<BlendSource> blendSourceDesc;
lv::PlugDescriptor<BlurSource> blurSourceDesc;
lv::PlugDescriptor<GlowSource> glowSourceDesc;
lv::PlugDescriptor<ShowText> showTextDesc;
lv::PlugDescriptor<CubeWallSource> cubeWallSourceDesc;
lv::PlugDescriptor<CubistSource> cubistSourceDesc;
lv::PlugDescriptor<DisplaySpectrum> displaySpectrumDesc;
lv::PlugDescriptor<PlasmaLife> plasmaLifeDesc;
lv::PlugDescriptor<SpherePulseSource> spherePulseSourceDesc;
lv::PlugDescriptor<TunnelSource> tunnelSourceDesc;
lv::PlugDescriptor<WormholeSource> wormholeSourceDesc;
lv::PlugDescriptor<SolarizeSource> solarizeSourceDesc;
lv::PlugDescriptor<OutlineSource> outlineSourceDesc;
lv::PlugDescriptor<TileSource> tileSourceDesc;
lv::PlugDescriptor<RadialBlurSource> radialBlurSourceDesc;
lv::PlugDescriptor<FractalShuffleSource> fractalShuffleSourceDesc;
lv::PlugDescriptor<PixelShuffleSource> pixelShuffleSourceDesc;
lv::PlugDescriptor<KaleidoscopeSource> kaleidoscopeSourceDesc;
lv::PlugDescriptor<SmoothSource> smoothSourceDesc;
lv::PlugDescriptor<CrossHatchSource> crossHatchSourceDesc;
lv::PlugDescriptor<RaysGenerator> raysGeneratorDesc;
lv::PlugDescriptor<StringTheory> stringTheoryDesc;
lv::PlugDescriptor<TwisterGenerator> twisterGeneratorDesc;
lv::PlugDescriptor<SuperShape> superShapeDesc;  // complete, but the catalogue does not offer it

lv::PlugDesc* const kCatalogue[] = {
    &fadeSourceDesc,  // 0
    &miniSscCom1Desc,  // 1
    &miniSscCom2Desc,  // 2
    &brightenDimSourceDesc,  // 3
    &cubistSourceDesc,  // 4
    &kaleidoscopeSourceDesc,  // 5
    &blurSourceDesc,  // 6
    &glowSourceDesc,  // 7
    &hsvModifySourceDesc,  // 8
    &invertSourceDesc,  // 9
    &wipeSourceDesc,  // 10
    &wormholeSourceDesc,  // 11
    &tunnelSourceDesc,  // 12
    &crossHatchSourceDesc,  // 13
    &smoothSourceDesc,  // 14
    &outlineSourceDesc,  // 15
    &solarizeSourceDesc,  // 16
    &radialBlurSourceDesc,  // 17
    &pixelShuffleSourceDesc,  // 18
    &chromaKeySourceDesc,  // 19
    &fractalShuffleSourceDesc,  // 20
    &blendSourceDesc,  // 21
    &twisterGeneratorDesc,  // 22
    &spherePulseSourceDesc,  // 23
    &cubeWallSourceDesc,  // 24
    &tileSourceDesc,  // 25
    &displaySpectrumDesc,  // 26
    &plasmaLifeDesc,  // 27
    &raysGeneratorDesc,  // 28
    &stringTheoryDesc,  // 29
    &polarityDesc,  // 30
    &showTextDesc,  // 31
};

}  // namespace

int32_t CatalogueSize() { return int32_t(std::size(kCatalogue)); }

lv::PlugDesc* CatalogueEntry(uint32_t index) { return index < std::size(kCatalogue) ? kCatalogue[index] : nullptr; }

}  // namespace kestrix
