#pragma once
// The device on OpenGL 4.5: Direct3D 9 state kept as data, brought to GL at
// draw time; resources in gl_objects.h; one EGL context owned by the lock.
#include <epoxy/gl.h>

#include <array>
#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "device_lock.h"
#include "egl_context.h"
#include "gl_objects.h"
#include "programs.h"
#include "render_state.h"
#include "platform/gfx/constant_table.h"
#include "platform/gfx/device.h"

namespace gfx {

inline constexpr int kStreams = 4;

class GlDevice final : public Device, public ConstantSink {
 public:
  // Takes the context; *device gets one reference.
  static Result Create(std::unique_ptr<EglContext> context, const PresentParameters& params, Device** device);

  uint32_t AddRef() override { return ++refs_; }
  uint32_t Release() override;

  ConstantSink& Constants() override { return *this; }
  void SetShaderConstantF(ShaderStage stage, int startRegister, const float* data, int count4) override;

  Result GetDeviceCaps(DeviceCaps* caps) override;
  Result GetPresentParameters(PresentParameters* params) override;

  Result CreateTexture(uint32_t width, uint32_t height, uint32_t levels, uint32_t usage, Format format, Pool pool,
                       Texture** texture) override;
  Result CreateOffscreenPlainSurface(uint32_t width, uint32_t height, Format format, Pool pool,
                                     Surface** surface) override;
  Result CreateRenderTarget(uint32_t width, uint32_t height, Format format, Surface** surface) override;
  Result CreateDepthStencilSurface(uint32_t width, uint32_t height, Format format, Surface** surface) override;
  Result CreateVertexBuffer(uint32_t length, uint32_t usage, Pool pool, VertexBuffer** buffer) override;
  Result CreateIndexBuffer(uint32_t length, uint32_t usage, Format format, Pool pool, IndexBuffer** buffer) override;
  Result CreateVertexDeclaration(const VertexElement* elements, VertexDeclaration** decl) override;
  Result CreateVertexShader(const ShaderCode& code, VertexShader** shader) override;
  Result CreatePixelShader(const ShaderCode& code, PixelShader** shader) override;

  Result BeginScene() override;
  Result EndScene() override;
  Result Present(const Rect* sourceRect, const Rect* destRect, NativeWindow overrideWindow,
                 const void* dirtyRegion) override;
  Result Clear(uint32_t rectCount, const Rect* rects, uint32_t flags, Color color, float z,
               uint32_t stencil) override;

  Result GetBackBuffer(uint32_t swapChain, uint32_t index, Surface** surface) override;
  Result SetRenderTarget(uint32_t index, Surface* surface) override;
  Result GetRenderTarget(uint32_t index, Surface** surface) override;
  Result SetDepthStencilSurface(Surface* surface) override;
  Result GetDepthStencilSurface(Surface** surface) override;
  Result SetViewport(const Viewport& viewport) override;
  Result GetViewport(Viewport* viewport) override;
  Result SetScissorRect(const Rect& rect) override;

  Result SetRenderState(RenderState state, uint32_t value) override;
  Result GetRenderState(RenderState state, uint32_t* value) override;
  Result SetSamplerState(uint32_t sampler, SamplerState state, uint32_t value) override;
  Result GetSamplerState(uint32_t sampler, SamplerState state, uint32_t* value) override;
  Result SetTextureStageState(uint32_t stage, TextureStageState state, uint32_t value) override;
  Result GetTextureStageState(uint32_t stage, TextureStageState state, uint32_t* value) override;
  Result SetTexture(uint32_t sampler, Texture* texture) override;

  Result SetVertexShader(VertexShader* shader) override;
  Result SetPixelShader(PixelShader* shader) override;
  Result SetVertexShaderConstantF(uint32_t startRegister, const float* data, uint32_t count4) override;
  Result GetVertexShaderConstantF(uint32_t startRegister, float* data, uint32_t count4) override;
  Result SetPixelShaderConstantF(uint32_t startRegister, const float* data, uint32_t count4) override;
  Result GetPixelShaderConstantF(uint32_t startRegister, float* data, uint32_t count4) override;

  Result SetVertexDeclaration(VertexDeclaration* decl) override;
  Result SetStreamSource(uint32_t stream, VertexBuffer* buffer, uint32_t offset, uint32_t stride) override;
  Result SetIndices(IndexBuffer* buffer) override;

  Result DrawPrimitive(PrimitiveType type, uint32_t startVertex, uint32_t primitiveCount) override;
  Result DrawIndexedPrimitive(PrimitiveType type, int32_t baseVertexIndex, uint32_t minIndex, uint32_t numVertices,
                              uint32_t startIndex, uint32_t primitiveCount) override;
  Result DrawPrimitiveUP(PrimitiveType type, uint32_t primitiveCount, const void* vertices,
                         uint32_t stride) override;
  Result DrawIndexedPrimitiveUP(PrimitiveType type, uint32_t minIndex, uint32_t numVertices,
                                uint32_t primitiveCount, const void* indices, Format indexFormat,
                                const void* vertices, uint32_t stride) override;

  Result StretchRect(Surface* source, const Rect* sourceRect, Surface* dest, const Rect* destRect,
                     Filter filter) override;
  Result GetRenderTargetData(Surface* renderTarget, Surface* dest) override;
  Result UpdateTexture(Texture* source, Texture* dest) override;
  Result UpdateSurface(Surface* source, const Rect* sourceRect, Surface* dest, int destX, int destY) override;
  Result ColorFill(Surface* surface, const Rect* rect, Color color) override;

  // For the resources (the lock is theirs to take).
  DeviceLock& Lock() { return lock_; }
  // Unbinds an object that is going away (lock held).
  void Forget(GlTexture* texture);
  void Forget(GlSurface* surface);
  void Forget(GlVertexBuffer* buffer);
  void Forget(GlIndexBuffer* buffer);
  void Forget(GlVertexDeclaration* decl);
  void ForgetShader(uint64_t id);

 private:
  GlDevice(std::unique_ptr<EglContext> context, const PresentParameters& params);
  ~GlDevice() override;
  Result Init();
  void ClearDepthTexture(GLuint texture, bool stencil);
  Result MakeGlSurface(uint32_t width, uint32_t height, Format format, Surface** surface);

  // Draw-time work (lock held).
  // The GL mode to draw with, or kNoDraw (GL_POINTS is 0, so 0 cannot say "none").
  static constexpr GLenum kNoDraw = ~GLenum(0);
  GLenum PrepareDraw(PrimitiveType type, uint32_t primitiveCount, GLsizei* vertexCount);
  bool BindTarget();  // the draw framebuffer with the current target; false if incomplete
  bool ApplyProgram(bool points);
  void ApplyTextures();
  void ApplyVertexInput(const GlStageShader& vs);
  void ResetViewport();

  // Copies (copies.cpp).
  bool AttachForRead(GlSurface* surface);
  bool AttachForDraw(GLuint fbo, GlSurface* surface);
  GLuint UploadCpuSurface(GlSurface* surface, const Rect& rect);
  void InvalidateGlState() { applied_.valid = false; targetDirty_ = true; }

  std::atomic<uint32_t> refs_{1};
  std::unique_ptr<EglContext> context_;
  DeviceLock lock_;
  PresentParameters params_;
  DeviceCaps caps_;
  uint64_t nextShaderId_ = 1;

  DeviceState state_;
  GlPipelineState applied_;
  std::array<GlSamplerState, kSamplerUnits> appliedSamplers_{};
  std::array<GLuint, kSamplerUnits> samplers_{};
  std::array<GlTexture*, kSamplerUnits> textures_{};
  std::array<GLuint, kSamplerUnits> boundTextures_{};
  GlVertexShader* vertexShader_ = nullptr;
  GlPixelShader* pixelShader_ = nullptr;
  GlVertexDeclaration* decl_ = nullptr;
  struct Stream {
    GlVertexBuffer* buffer = nullptr;
    GLuint glBuffer = 0;  // the buffer's GL name, or the streaming buffer of a UP draw
    uint32_t offset = 0;
    uint32_t stride = 0;
  };
  std::array<Stream, kStreams> streams_{};
  std::array<Stream, kStreams> boundStreams_{};  // what the vertex array has
  bool programPointSize_ = false;                // GL_PROGRAM_POINT_SIZE as enabled
  GlIndexBuffer* indices_ = nullptr;
  GLuint indexBuffer_ = 0;       // what the VAO has as its element buffer
  Format indexFormat_ = Format::Index16;

  std::array<float, kVertexConstantRegisters * 4> vertexRegisters_{};
  std::array<float, kPixelConstantRegisters * 4> pixelRegisters_{};
  bool vertexRegistersDirty_ = true;
  bool pixelRegistersDirty_ = true;
  std::vector<uint8_t> blockScratch_;
  GLuint vertexUbo_ = 0, pixelUbo_ = 0;
  const GlProgram* program_ = nullptr;  // last used at draw time
  ProgramCache programs_;

  GlSurface* renderTarget_ = nullptr;
  GlSurface* depthStencil_ = nullptr;
  std::unique_ptr<GlSurface> backBuffer_;
  std::unique_ptr<GlSurface> autoDepth_;
  GLuint backBufferTexture_ = 0;
  GLuint autoDepthTexture_ = 0;
  GLuint drawFbo_ = 0, readFbo_ = 0, copyFbo_ = 0;
  bool targetDirty_ = true;
  bool depthAttached_ = false;
  GLuint vao_ = 0;
  bool vertexInputDirty_ = true;
  uint64_t vertexInputShader_ = 0;
  GLuint upVertexBuffer_ = 0, upIndexBuffer_ = 0;
};

template <class Base>
RefCounted<Base>::RefCounted(GlDevice* device) : device_(device) { device_->AddRef(); }

template <class Base>
RefCounted<Base>::~RefCounted() { device_->Release(); }

template <class Base>
Device* RefCounted<Base>::GetDevice() { return device_; }

}  // namespace gfx
