#pragma once
// The Direct3D-9-shaped device the system draws with. One implementation on
// OpenGL (see graphics_system.h for creation). Every call is safe from any
// thread: an internal recursive device lock serialises them, and a thread
// inside BeginScene ... EndScene keeps the device until EndScene.
#include <cstdint>
#include <functional>

#include "platform/gfx/caps.h"
#include "platform/gfx/formats.h"
#include "platform/gfx/resources.h"
#include "platform/gfx/result.h"
#include "platform/gfx/states.h"

namespace gfx {

// An output window given by the window layer: an X11 window id (0 = none).
struct NativeWindow {
  uint64_t handle = 0;
};

// The pixels Present hands over where no window surface can be made:
// rows top first, bytes R, G, B, A.
struct PresentImage {
  const uint8_t* pixels = nullptr;
  int width = 0;
  int height = 0;
  int pitch = 0;
};
using PresentCallback = std::function<void(const PresentImage&)>;

enum class SwapEffect { Discard, Flip, Copy };

struct PresentParameters {
  uint32_t backBufferWidth = 0;     // 0: the window's width (640 without a window)
  uint32_t backBufferHeight = 0;
  Format backBufferFormat = Format::Unknown;  // Unknown: X8R8G8B8
  uint32_t backBufferCount = 1;
  SwapEffect swapEffect = SwapEffect::Copy;
  NativeWindow deviceWindow;        // where Present shows the picture
  bool windowed = true;
  bool enableAutoDepthStencil = false;
  Format autoDepthStencilFormat = Format::D24S8;
  uint32_t fullScreenRefreshRate = 0;
  uint32_t presentationInterval = 1;  // 0: immediate, 1: wait for the vertical blank
  // Used by Present when there is no window surface (no window given or no
  // window system): it receives the back buffer's pixels.
  PresentCallback presentFallback;
};

struct Viewport {
  uint32_t x = 0, y = 0, width = 0, height = 0;
  float minZ = 0.0f, maxZ = 1.0f;
};

enum class PrimitiveType { PointList = 1, LineList, LineStrip, TriangleList, TriangleStrip, TriangleFan };

namespace clear {
inline constexpr uint32_t Target = 1, ZBuffer = 2, Stencil = 4;
}

// A D3D colour: 0xAARRGGBB.
using Color = uint32_t;
inline constexpr Color ColorArgb(uint32_t a, uint32_t r, uint32_t g, uint32_t b) {
  return ((a & 0xFF) << 24) | ((r & 0xFF) << 16) | ((g & 0xFF) << 8) | (b & 0xFF);
}

class ConstantSink;

class Device {
 public:
  virtual uint32_t AddRef() = 0;
  virtual uint32_t Release() = 0;

  // The register file as constant tables write it (SetVertexShaderConstantF
  // and SetPixelShaderConstantF by stage).
  virtual ConstantSink& Constants() = 0;

  virtual Result GetDeviceCaps(DeviceCaps* caps) = 0;
  virtual Result GetPresentParameters(PresentParameters* params) = 0;

  // Resources. levels 0 makes the whole mip chain. Format Unknown for a
  // texture takes the back buffer's format.
  virtual Result CreateTexture(uint32_t width, uint32_t height, uint32_t levels, uint32_t usage,
                               Format format, Pool pool, Texture** texture) = 0;
  virtual Result CreateOffscreenPlainSurface(uint32_t width, uint32_t height, Format format, Pool pool,
                                             Surface** surface) = 0;
  virtual Result CreateRenderTarget(uint32_t width, uint32_t height, Format format, Surface** surface) = 0;
  virtual Result CreateDepthStencilSurface(uint32_t width, uint32_t height, Format format, Surface** surface) = 0;
  virtual Result CreateVertexBuffer(uint32_t length, uint32_t usage, Pool pool, VertexBuffer** buffer) = 0;
  virtual Result CreateIndexBuffer(uint32_t length, uint32_t usage, Format format, Pool pool,
                                   IndexBuffer** buffer) = 0;
  // elements end with kDeclEnd.
  virtual Result CreateVertexDeclaration(const VertexElement* elements, VertexDeclaration** decl) = 0;
  virtual Result CreateVertexShader(const ShaderCode& code, VertexShader** shader) = 0;
  virtual Result CreatePixelShader(const ShaderCode& code, PixelShader** shader) = 0;

  // Frames. BeginScene holds the device for the calling thread until EndScene.
  virtual Result BeginScene() = 0;
  virtual Result EndScene() = 0;
  // Shows the back buffer, stretched over the whole window; the back buffer
  // keeps its picture (copy swap). The rectangles and window override are
  // not supported and must be null / 0.
  virtual Result Present(const Rect* sourceRect, const Rect* destRect, NativeWindow overrideWindow,
                         const void* dirtyRegion) = 0;
  // Clears the viewport (rects are not supported: count must be 0). Ignores
  // the colour write mask and the depth and stencil write states.
  virtual Result Clear(uint32_t rectCount, const Rect* rects, uint32_t flags, Color color, float z,
                       uint32_t stencil) = 0;

  // Targets. Setting a render target resets the viewport to its size; the
  // depth-stencil surface stays as it is.
  virtual Result GetBackBuffer(uint32_t swapChain, uint32_t index, Surface** surface) = 0;
  virtual Result SetRenderTarget(uint32_t index, Surface* surface) = 0;
  virtual Result GetRenderTarget(uint32_t index, Surface** surface) = 0;
  virtual Result SetDepthStencilSurface(Surface* surface) = 0;
  virtual Result GetDepthStencilSurface(Surface** surface) = 0;
  virtual Result SetViewport(const Viewport& viewport) = 0;
  virtual Result GetViewport(Viewport* viewport) = 0;
  virtual Result SetScissorRect(const Rect& rect) = 0;

  // States.
  virtual Result SetRenderState(RenderState state, uint32_t value) = 0;
  virtual Result GetRenderState(RenderState state, uint32_t* value) = 0;
  virtual Result SetSamplerState(uint32_t sampler, SamplerState state, uint32_t value) = 0;
  virtual Result GetSamplerState(uint32_t sampler, SamplerState state, uint32_t* value) = 0;
  virtual Result SetTextureStageState(uint32_t stage, TextureStageState state, uint32_t value) = 0;
  virtual Result GetTextureStageState(uint32_t stage, TextureStageState state, uint32_t* value) = 0;
  virtual Result SetTexture(uint32_t sampler, Texture* texture) = 0;

  // Shaders and their constant registers (float4 each).
  virtual Result SetVertexShader(VertexShader* shader) = 0;
  virtual Result SetPixelShader(PixelShader* shader) = 0;
  virtual Result SetVertexShaderConstantF(uint32_t startRegister, const float* data, uint32_t count4) = 0;
  virtual Result GetVertexShaderConstantF(uint32_t startRegister, float* data, uint32_t count4) = 0;
  virtual Result SetPixelShaderConstantF(uint32_t startRegister, const float* data, uint32_t count4) = 0;
  virtual Result GetPixelShaderConstantF(uint32_t startRegister, float* data, uint32_t count4) = 0;

  // Vertex input.
  virtual Result SetVertexDeclaration(VertexDeclaration* decl) = 0;
  virtual Result SetStreamSource(uint32_t stream, VertexBuffer* buffer, uint32_t offset, uint32_t stride) = 0;
  virtual Result SetIndices(IndexBuffer* buffer) = 0;

  // Drawing.
  virtual Result DrawPrimitive(PrimitiveType type, uint32_t startVertex, uint32_t primitiveCount) = 0;
  virtual Result DrawIndexedPrimitive(PrimitiveType type, int32_t baseVertexIndex, uint32_t minIndex,
                                      uint32_t numVertices, uint32_t startIndex, uint32_t primitiveCount) = 0;
  // The "UP" draws read vertices (and indices) from memory and leave stream 0
  // and the index buffer unset afterwards.
  virtual Result DrawPrimitiveUP(PrimitiveType type, uint32_t primitiveCount, const void* vertices,
                                 uint32_t stride) = 0;
  virtual Result DrawIndexedPrimitiveUP(PrimitiveType type, uint32_t minIndex, uint32_t numVertices,
                                        uint32_t primitiveCount, const void* indices, Format indexFormat,
                                        const void* vertices, uint32_t stride) = 0;

  // Copies.
  // Any texture surface, render target, plain surface (YUY2, UYVY and the
  // 16-bit formats included) or the back buffer as the source; a render
  // target, texture surface or the back buffer as the destination. filter:
  // Filter::None/Point or Filter::Linear. Null rectangles mean the whole surface.
  virtual Result StretchRect(Surface* source, const Rect* sourceRect, Surface* dest, const Rect* destRect,
                             Filter filter) = 0;
  // A render target (or the back buffer) into a SYSTEMMEM surface of the same size and format.
  virtual Result GetRenderTargetData(Surface* renderTarget, Surface* dest) = 0;
  // Every level of a SYSTEMMEM texture into a DEFAULT texture of the same format and size.
  virtual Result UpdateTexture(Texture* source, Texture* dest) = 0;
  virtual Result UpdateSurface(Surface* source, const Rect* sourceRect, Surface* dest, int destX, int destY) = 0;
  virtual Result ColorFill(Surface* surface, const Rect* rect, Color color) = 0;

 protected:
  virtual ~Device() = default;
};

}  // namespace gfx
