#include "platform/d3dx/device_format.h"

namespace d3dx {
namespace {

struct FormatPair {
  Format image;
  gfx::Format device;
};

constexpr FormatPair kPairs[] = {
    {Format::A8R8G8B8, gfx::Format::A8R8G8B8}, {Format::X8R8G8B8, gfx::Format::X8R8G8B8},
    {Format::A8B8G8R8, gfx::Format::A8B8G8R8}, {Format::X8B8G8R8, gfx::Format::X8B8G8R8},
    {Format::R8G8B8, gfx::Format::R8G8B8},     {Format::R5G6B5, gfx::Format::R5G6B5},
    {Format::X1R5G5B5, gfx::Format::X1R5G5B5}, {Format::A1R5G5B5, gfx::Format::A1R5G5B5},
    {Format::A8, gfx::Format::A8},             {Format::L8, gfx::Format::L8},
};

}  // namespace

gfx::Format ToDeviceFormat(Format format) {
  for (const FormatPair& p : kPairs) {
    if (p.image == format) return p.device;
  }
  return gfx::Format::Unknown;
}

Format FromDeviceFormat(gfx::Format format) {
  for (const FormatPair& p : kPairs) {
    if (p.device == format) return p.image;
  }
  return Format::Unknown;
}

}  // namespace d3dx
