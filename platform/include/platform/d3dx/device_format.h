#pragma once
// The image formats (numbered as Direct3D 9 numbers them, as files and D3DX
// report them) and the device's own formats, one to one where both exist.
#include "platform/d3dx/image.h"
#include "platform/gfx/formats.h"

namespace d3dx {

// gfx::Format::Unknown when the device has no such format (DXT, P8, L16 ...).
gfx::Format ToDeviceFormat(Format format);
// Format::Unknown for the device's formats no image is made of (YUV, float,
// depth and index formats).
Format FromDeviceFormat(gfx::Format format);

}  // namespace d3dx
