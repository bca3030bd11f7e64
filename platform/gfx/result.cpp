#include "platform/gfx/caps.h"
#include "platform/gfx/result.h"

namespace gfx {

const char* ResultName(Result r) {
  switch (r) {
    case Result::Ok: return "ok";
    case Result::InvalidCall: return "invalid call";
    case Result::NotAvailable: return "not available";
    case Result::OutOfVideoMemory: return "out of video memory";
    case Result::DeviceLost: return "device lost";
  }
  return "?";
}

const char* VertexShaderProfile(const DeviceCaps& caps) {
  if (caps.vertexShaderMajor >= 3) return "vs_3_0";
  if (caps.vertexShaderMajor == 2) return "vs_2_0";
  return "vs_1_1";
}

const char* PixelShaderProfile(const DeviceCaps& caps) {
  if (caps.pixelShaderMajor >= 3) return "ps_3_0";
  if (caps.pixelShaderMajor == 2) return "ps_2_0";
  return "ps_1_1";
}

}  // namespace gfx
