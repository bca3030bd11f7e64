// Any bytes into the image readers, and what decodes on into the texture
// level builder: no crash, no over-read, no undefined behaviour.
#include <cstddef>
#include <cstdint>

#include "platform/d3dx/image.h"
#include "platform/d3dx/texture_data.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  d3dx::Image image;
  std::string error;
  if (!d3dx::LoadImageFromMemory({data, size}, image, &error)) return 0;
  if (uint64_t(image.width) * image.height <= 4096) {
    d3dx::TextureData texture;
    d3dx::TextureRequest request;
    request.width = image.width + 3;  // forces scaling as well as the mip chain
    d3dx::PrepareTexture(image, request, {}, texture, &error);
    d3dx::PrepareTexture(image, {}, {}, texture, &error);
  }
  return 0;
}
