#include "builtin_kinds.h"

#include "avi/avi_source_kind.h"
#include "platform/sys/resources.h"
#include "plugins/color_fill.h"
#include "plugins/display_source.h"
#include "plugins/show_bmp.h"
#include "plugins/warp_source.h"
#include "registry/plug_registry.h"
#include "sampler/sample_video.h"
#include "sources/frame_buffer_source.h"
#include "sources/image_file_source.h"

namespace builtin {
namespace {

constexpr BuiltinKind PlugKind(lv::PlugDesc* (*descriptor)()) { return {descriptor, nullptr}; }
constexpr BuiltinKind SourceKind(lv::SourceDesc* (*descriptor)()) { return {nullptr, descriptor}; }

// One line per kind, in the order the program lists them.
constexpr BuiltinKind kBuiltinKinds[] = {
    PlugKind(&ShowBmpDescriptor),
    PlugKind(&ColorFillDescriptor),
    PlugKind(&DisplaySourceDescriptor),
    PlugKind(&WarpSourceDescriptor),
    PlugKind(&SampleVideoKind),
    SourceKind(&lv::AviFileSourceKind),
    SourceKind(&ImageFileSourceDescriptor),
    SourceKind(&FrameBufferSourceDescriptor),
};

}  // namespace

std::span<const BuiltinKind> BuiltinKinds() { return kBuiltinKinds; }

lv::ModuleHandle ProgramModule() { return const_cast<sys::ResourceTable*>(sys::ThisModuleResources()); }

void RegisterBuiltinKinds(lv::PlugRegistry& registry) {
  for (const BuiltinKind& kind : kBuiltinKinds) {
    if (kind.plugKind != nullptr) registry.RegisterPlugKind(kind.plugKind(), ProgramModule());
    if (kind.sourceKind != nullptr) registry.RegisterSourceKind(kind.sourceKind(), ProgramModule());
  }
}

}  // namespace builtin
