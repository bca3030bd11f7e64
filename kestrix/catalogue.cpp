#include "catalogue.h"

#include <iterator>

#include "descriptor.h"
#include "effects/brighten_dim_source.h"
#include "effects/group_d/mini_ssc.h"
#include "effects/group_d/polarity.h"
#include "effects/group_d/rays_generator.h"
#include "effects/group_d/string_theory.h"
#include "effects/group_d/supershape.h"
#include "effects/group_d/twister_generator.h"
#include "effects/invert_source.h"

namespace kestrix {
namespace {

// Static for the library's lifetime: the host keeps their addresses.
Descriptor<BrightenDimSource> brightenDimSourceDesc;
Descriptor<InvertSource> invertSourceDesc;
Descriptor<MiniSscCom1> miniSscCom1Desc;
Descriptor<MiniSscCom2> miniSscCom2Desc;
Descriptor<Polarity> polarityDesc;
Descriptor<RaysGenerator> raysGeneratorDesc;
Descriptor<StringTheory> stringTheoryDesc;
Descriptor<TwisterGenerator> twisterGeneratorDesc;
Descriptor<SuperShape> superShapeDesc;  // complete, but the catalogue does not offer it

lv::PlugDesc* const kCatalogue[] = {
    &miniSscCom1Desc,  // 1
    &miniSscCom2Desc,  // 2
    &brightenDimSourceDesc,  // 3
    &invertSourceDesc,  // 9
    &twisterGeneratorDesc,  // 22
    &raysGeneratorDesc,  // 28
    &stringTheoryDesc,  // 29
    &polarityDesc,  // 30
};

}  // namespace

int32_t CatalogueSize() { return int32_t(std::size(kCatalogue)); }

lv::PlugDesc* CatalogueEntry(uint32_t index) { return index < std::size(kCatalogue) ? kCatalogue[index] : nullptr; }

}  // namespace kestrix
