#include "gl_device.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "fixed_function.h"
#include "gl_format.h"

namespace gfx {

namespace {

template <class T, class I>
T* As(I* object) {
  return object ? dynamic_cast<T*>(object) : nullptr;
}

GLsizei VertexCount(PrimitiveType type, uint32_t primitives) {
  const auto n = static_cast<GLsizei>(primitives);
  switch (type) {
    case PrimitiveType::PointList: return n;
    case PrimitiveType::LineList: return n * 2;
    case PrimitiveType::LineStrip: return n + 1;
    case PrimitiveType::TriangleList: return n * 3;
    case PrimitiveType::TriangleStrip: case PrimitiveType::TriangleFan: return n + 2;
  }
  return 0;
}

GLenum GlPrimitive(PrimitiveType type) {
  switch (type) {
    case PrimitiveType::PointList: return GL_POINTS;
    case PrimitiveType::LineList: return GL_LINES;
    case PrimitiveType::LineStrip: return GL_LINE_STRIP;
    case PrimitiveType::TriangleList: return GL_TRIANGLES;
    case PrimitiveType::TriangleStrip: return GL_TRIANGLE_STRIP;
    case PrimitiveType::TriangleFan: return GL_TRIANGLE_FAN;
  }
  return GL_TRIANGLES;
}

bool UsageMatches(const std::string& semantic, DeclUsage usage) {
  switch (usage) {
    case DeclUsage::Position: return semantic == "POSITION" || semantic == "SV_POSITION";
    case DeclUsage::BlendWeight: return semantic == "BLENDWEIGHT";
    case DeclUsage::BlendIndices: return semantic == "BLENDINDICES";
    case DeclUsage::Normal: return semantic == "NORMAL";
    case DeclUsage::PSize: return semantic == "PSIZE";
    case DeclUsage::TexCoord: return semantic == "TEXCOORD";
    case DeclUsage::Tangent: return semantic == "TANGENT";
    case DeclUsage::Binormal: return semantic == "BINORMAL";
    case DeclUsage::TessFactor: return semantic == "TESSFACTOR";
    case DeclUsage::PositionT: return semantic == "POSITIONT";
    case DeclUsage::Color: return semantic == "COLOR";
    case DeclUsage::Fog: return semantic == "FOG";
    case DeclUsage::Depth: return semantic == "DEPTH";
    case DeclUsage::Sample: return semantic == "SAMPLE";
  }
  return false;
}

struct AttribFormat {
  GLint size;
  GLenum type;
  GLboolean normalized;
};

AttribFormat GlAttrib(DeclType type) {
  switch (type) {
    case DeclType::Float1: return {1, GL_FLOAT, GL_FALSE};
    case DeclType::Float2: return {2, GL_FLOAT, GL_FALSE};
    case DeclType::Float3: return {3, GL_FLOAT, GL_FALSE};
    case DeclType::Float4: return {4, GL_FLOAT, GL_FALSE};
    case DeclType::Color: return {GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE};  // bytes B, G, R, A
    case DeclType::UByte4: return {4, GL_UNSIGNED_BYTE, GL_FALSE};
    case DeclType::UByte4N: return {4, GL_UNSIGNED_BYTE, GL_TRUE};
    case DeclType::Short2: return {2, GL_SHORT, GL_FALSE};
    case DeclType::Short4: return {4, GL_SHORT, GL_FALSE};
    case DeclType::Short2N: return {2, GL_SHORT, GL_TRUE};
    case DeclType::Short4N: return {4, GL_SHORT, GL_TRUE};
    case DeclType::UShort2N: return {2, GL_UNSIGNED_SHORT, GL_TRUE};
    case DeclType::UShort4N: return {4, GL_UNSIGNED_SHORT, GL_TRUE};
    case DeclType::Float16_2: return {2, GL_HALF_FLOAT, GL_FALSE};
    case DeclType::Float16_4: return {4, GL_HALF_FLOAT, GL_FALSE};
    case DeclType::Unused: break;
  }
  return {4, GL_FLOAT, GL_FALSE};
}

}  // namespace

Result GlDevice::Create(std::unique_ptr<EglContext> context, const PresentParameters& params, Device** device) {
  if (!device || !context) return Result::InvalidCall;
  auto* d = new GlDevice(std::move(context), params);
  const Result r = d->Init();
  if (Failed(r)) {
    d->Release();
    return r;
  }
  *device = d;
  return Result::Ok;
}

GlDevice::GlDevice(std::unique_ptr<EglContext> context, const PresentParameters& params)
    : context_(std::move(context)), lock_(context_.get()), params_(params) {}

uint32_t GlDevice::Release() {
  const uint32_t n = --refs_;
  if (n == 0) delete this;
  return n;
}

// A new depth buffer starts at the far plane (1.0) and stencil 0.
void GlDevice::ClearDepthTexture(GLuint texture, bool stencil) {
  const GLenum attachment = stencil ? GL_DEPTH_STENCIL_ATTACHMENT : GL_DEPTH_ATTACHMENT;
  glNamedFramebufferTexture(copyFbo_, GL_COLOR_ATTACHMENT0, 0, 0);
  glNamedFramebufferTexture(copyFbo_, attachment, texture, 0);
  glDisable(GL_SCISSOR_TEST);
  glDepthMask(GL_TRUE);
  glStencilMask(0xFF);
  const float far = 1.0f;
  if (stencil)
    glClearNamedFramebufferfi(copyFbo_, GL_DEPTH_STENCIL, 0, far, 0);
  else
    glClearNamedFramebufferfv(copyFbo_, GL_DEPTH, 0, &far);
  glNamedFramebufferTexture(copyFbo_, attachment, 0, 0);
  applied_.valid = false;
}

Result GlDevice::Init() {
  DeviceScope scope(lock_);
  glClipControl(GL_UPPER_LEFT, GL_ZERO_TO_ONE);  // Direct3D's depth range, row 0 at the top
  glFrontFace(GL_CW);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glCreateFramebuffers(1, &drawFbo_);
  glCreateFramebuffers(1, &readFbo_);
  glCreateFramebuffers(1, &copyFbo_);

  if (params_.backBufferWidth == 0 || params_.backBufferHeight == 0) {
    int w = 640, h = 480;
    context_->WindowSize(&w, &h);
    if (params_.backBufferWidth == 0) params_.backBufferWidth = static_cast<uint32_t>(w);
    if (params_.backBufferHeight == 0) params_.backBufferHeight = static_cast<uint32_t>(h);
  }
  if (params_.backBufferFormat == Format::Unknown) params_.backBufferFormat = Format::X8R8G8B8;
  const GlFormat& colour = GlFormatOf(params_.backBufferFormat);
  if (!colour.renderable) return Result::NotAvailable;
  const auto w = static_cast<GLsizei>(params_.backBufferWidth), h = static_cast<GLsizei>(params_.backBufferHeight);

  glCreateTextures(GL_TEXTURE_2D, 1, &backBufferTexture_);
  glTextureStorage2D(backBufferTexture_, 1, colour.internalFormat, w, h);
  glTextureParameteriv(backBufferTexture_, GL_TEXTURE_SWIZZLE_RGBA, colour.swizzle);
  glClearTexImage(backBufferTexture_, 0, colour.format, colour.type, nullptr);
  SurfaceDesc desc;
  desc.format = params_.backBufferFormat;
  desc.usage = usage::RenderTarget;
  desc.width = params_.backBufferWidth;
  desc.height = params_.backBufferHeight;
  backBuffer_ = std::make_unique<GlSurface>(this, GlSurface::Owner::Device, nullptr, desc, backBufferTexture_, 0);

  if (params_.enableAutoDepthStencil) {
    const GlFormat& depth = GlFormatOf(params_.autoDepthStencilFormat);
    if (!depth.depth) return Result::NotAvailable;
    glCreateTextures(GL_TEXTURE_2D, 1, &autoDepthTexture_);
    glTextureStorage2D(autoDepthTexture_, 1, depth.internalFormat, w, h);
    SurfaceDesc ddesc = desc;
    ddesc.format = params_.autoDepthStencilFormat;
    ddesc.usage = usage::DepthStencil;
    autoDepth_ = std::make_unique<GlSurface>(this, GlSurface::Owner::Device, nullptr, ddesc, autoDepthTexture_, 0);
    ClearDepthTexture(autoDepthTexture_, depth.stencil);
  }

  glCreateVertexArrays(1, &vao_);
  glBindVertexArray(vao_);
  glCreateSamplers(kSamplerUnits, samplers_.data());
  for (GLuint i = 0; i < kSamplerUnits; ++i) glBindSampler(i, samplers_[i]);
  glCreateBuffers(1, &vertexUbo_);
  glCreateBuffers(1, &pixelUbo_);
  glCreateBuffers(1, &upVertexBuffer_);
  glCreateBuffers(1, &upIndexBuffer_);

  state_.SetDefaults(params_.enableAutoDepthStencil);
  renderTarget_ = backBuffer_.get();
  depthStencil_ = autoDepth_.get();
  ResetViewport();

  GLint maxSize = 0;
  glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
  caps_.textureCaps = 0;  // any size, any address mode, mip maps included
  caps_.maxTextureWidth = caps_.maxTextureHeight = static_cast<uint32_t>(maxSize);
  caps_.maxSimultaneousTextures = kTextureStages;
  caps_.maxStreams = kStreams;
  caps_.maxPrimitiveCount = 0xFFFFFF;
  caps_.maxVertexIndex = 0xFFFFFF;
  caps_.numSimultaneousRTs = 1;
  caps_.maxVertexShaderConst = kVertexConstantRegisters;
  caps_.vertexShaderMajor = caps_.pixelShaderMajor = 3;
  caps_.vertexShaderMinor = caps_.pixelShaderMinor = 0;

  context_->SetSwapInterval(static_cast<int>(params_.presentationInterval));
  // Direct3D leaves the back buffer undefined; ours starts black, all channels zero.
  return glGetError() == GL_NO_ERROR ? Result::Ok : Result::NotAvailable;
}

GlDevice::~GlDevice() {
  DeviceScope scope(lock_);
  programs_.Clear();
  backBuffer_.reset();
  autoDepth_.reset();
  const GLuint textures[] = {backBufferTexture_, autoDepthTexture_};
  glDeleteTextures(2, textures);
  const GLuint fbos[] = {drawFbo_, readFbo_, copyFbo_};
  glDeleteFramebuffers(3, fbos);
  glDeleteVertexArrays(1, &vao_);
  glDeleteSamplers(kSamplerUnits, samplers_.data());
  const GLuint buffers[] = {vertexUbo_, pixelUbo_, upVertexBuffer_, upIndexBuffer_};
  glDeleteBuffers(4, buffers);
}

Result GlDevice::GetDeviceCaps(DeviceCaps* caps) {
  if (!caps) return Result::InvalidCall;
  *caps = caps_;
  return Result::Ok;
}

Result GlDevice::GetPresentParameters(PresentParameters* params) {
  if (!params) return Result::InvalidCall;
  DeviceScope scope(lock_);
  *params = params_;
  return Result::Ok;
}

// ---- Resources -------------------------------------------------------------

Result GlDevice::CreateTexture(uint32_t width, uint32_t height, uint32_t levels, uint32_t usage, Format format,
                               Pool pool, Texture** texture) {
  if (!texture || width == 0 || height == 0 || width > caps_.maxTextureWidth || height > caps_.maxTextureHeight)
    return Result::InvalidCall;
  if (format == Format::Unknown) format = params_.backBufferFormat;
  if ((usage & usage::RenderTarget) && pool != Pool::Default) return Result::InvalidCall;
  DeviceScope scope(lock_);
  auto* t = new GlTexture(this, width, height, levels, usage, format, pool);
  const Result r = t->Init();
  if (Failed(r)) {
    t->Release();
    return r;
  }
  *texture = t;
  return Result::Ok;
}

Result GlDevice::CreateOffscreenPlainSurface(uint32_t width, uint32_t height, Format format, Pool pool,
                                             Surface** surface) {
  if (!surface || width == 0 || height == 0 || BytesPerPixel(format) == 0 || IsDepthFormat(format))
    return Result::InvalidCall;
  if ((format == Format::YUY2 || format == Format::UYVY) && (width & 1)) return Result::InvalidCall;
  DeviceScope scope(lock_);
  SurfaceDesc desc;
  desc.format = format;
  desc.pool = pool;
  desc.width = width;
  desc.height = height;
  // Plain surfaces are CPU memory: they are locked, filled and copied from.
  *surface = new GlSurface(this, GlSurface::Owner::Self, nullptr, desc, 0, 0);
  return Result::Ok;
}

Result GlDevice::CreateRenderTarget(uint32_t width, uint32_t height, Format format, Surface** surface) {
  if (IsDepthFormat(format)) return Result::InvalidCall;
  if (format == Format::Unknown) format = params_.backBufferFormat;
  if (!GlFormatOf(format).renderable) return Result::NotAvailable;
  return MakeGlSurface(width, height, format, surface);
}

Result GlDevice::CreateDepthStencilSurface(uint32_t width, uint32_t height, Format format, Surface** surface) {
  if (!IsDepthFormat(format)) return Result::InvalidCall;
  return MakeGlSurface(width, height, format, surface);
}

Result GlDevice::MakeGlSurface(uint32_t width, uint32_t height, Format format, Surface** surface) {
  if (!surface || width == 0 || height == 0 || width > caps_.maxTextureWidth || height > caps_.maxTextureHeight)
    return Result::InvalidCall;
  const GlFormat& gl = GlFormatOf(format);
  DeviceScope scope(lock_);
  GLuint texture = 0;
  glCreateTextures(GL_TEXTURE_2D, 1, &texture);
  glTextureStorage2D(texture, 1, gl.internalFormat, static_cast<GLsizei>(width), static_cast<GLsizei>(height));
  if (!gl.depth) {
    glTextureParameteriv(texture, GL_TEXTURE_SWIZZLE_RGBA, gl.swizzle);
    glClearTexImage(texture, 0, gl.format, gl.type, nullptr);
  } else {
    ClearDepthTexture(texture, gl.stencil);
  }
  SurfaceDesc desc;
  desc.format = format;
  desc.usage = gl.depth ? usage::DepthStencil : usage::RenderTarget;
  desc.width = width;
  desc.height = height;
  *surface = new GlSurface(this, GlSurface::Owner::Self, nullptr, desc, texture, 0);
  return Result::Ok;
}

Result GlDevice::CreateVertexBuffer(uint32_t length, uint32_t usage, Pool pool, VertexBuffer** buffer) {
  if (!buffer || length == 0) return Result::InvalidCall;
  DeviceScope scope(lock_);
  auto* b = new GlVertexBuffer(this, length, usage, pool);
  if (!b->Init()) {
    b->Release();
    return Result::OutOfVideoMemory;
  }
  *buffer = b;
  return Result::Ok;
}

Result GlDevice::CreateIndexBuffer(uint32_t length, uint32_t usage, Format format, Pool pool, IndexBuffer** buffer) {
  if (!buffer || length == 0 || (format != Format::Index16 && format != Format::Index32)) return Result::InvalidCall;
  DeviceScope scope(lock_);
  auto* b = new GlIndexBuffer(this, length, usage, format, pool);
  if (!b->Init()) {
    b->Release();
    return Result::OutOfVideoMemory;
  }
  *buffer = b;
  return Result::Ok;
}

Result GlDevice::CreateVertexDeclaration(const VertexElement* elements, VertexDeclaration** decl) {
  if (!elements || !decl) return Result::InvalidCall;
  std::vector<VertexElement> list;
  for (const VertexElement* e = elements; e->stream != 0xFF; ++e) {
    if (e->stream >= kStreams || e->type == DeclType::Unused || list.size() >= 64) return Result::InvalidCall;
    list.push_back(*e);
  }
  DeviceScope scope(lock_);
  *decl = new GlVertexDeclaration(this, std::move(list));
  return Result::Ok;
}

Result GlDevice::CreateVertexShader(const ShaderCode& code, VertexShader** shader) {
  if (!shader || code.stage != ShaderStage::Vertex || code.glsl.empty()) return Result::InvalidCall;
  DeviceScope scope(lock_);
  GlStageShader stage;
  std::string log;
  if (!MakeStageShader(code, nextShaderId_++, &stage, &log)) {
    std::fprintf(stderr, "gfx: vertex shader %s does not compile: %s\n", code.entryPoint.c_str(), log.c_str());
    return Result::InvalidCall;
  }
  *shader = new GlVertexShader(this, std::move(stage));
  return Result::Ok;
}

Result GlDevice::CreatePixelShader(const ShaderCode& code, PixelShader** shader) {
  if (!shader || code.stage != ShaderStage::Pixel || code.glsl.empty()) return Result::InvalidCall;
  DeviceScope scope(lock_);
  GlStageShader stage;
  std::string log;
  if (!MakeStageShader(code, nextShaderId_++, &stage, &log)) {
    std::fprintf(stderr, "gfx: pixel shader %s does not compile: %s\n", code.entryPoint.c_str(), log.c_str());
    return Result::InvalidCall;
  }
  *shader = new GlPixelShader(this, std::move(stage));
  return Result::Ok;
}

// ---- Objects going away ----------------------------------------------------

void GlDevice::Forget(GlTexture* texture) {
  for (auto& t : textures_)
    if (t == texture) t = nullptr;
}

void GlDevice::Forget(GlSurface* surface) {
  if (renderTarget_ == surface) {
    renderTarget_ = backBuffer_.get();
    targetDirty_ = true;
  }
  if (depthStencil_ == surface) {
    depthStencil_ = nullptr;
    targetDirty_ = true;
  }
}

void GlDevice::Forget(GlVertexBuffer* buffer) {
  for (auto& s : streams_)
    if (s.buffer == buffer) s = Stream{};
  // GL detaches a deleted buffer from the vertex array, and may hand its
  // name to the next one: bind it afresh.
  for (auto& s : boundStreams_)
    if (s.glBuffer == buffer->GlName()) s = Stream{};
}

void GlDevice::Forget(GlIndexBuffer* buffer) {
  if (indices_ == buffer) indices_ = nullptr;
}

void GlDevice::Forget(GlVertexDeclaration* decl) {
  if (decl_ == decl) {
    decl_ = nullptr;
    vertexInputDirty_ = true;
  }
}

void GlDevice::ForgetShader(uint64_t id) {
  if (vertexShader_ && vertexShader_->Stage().id == id) vertexShader_ = nullptr;
  if (pixelShader_ && pixelShader_->Stage().id == id) pixelShader_ = nullptr;
  programs_.Forget(id);
  program_ = nullptr;
  if (vertexInputShader_ == id) vertexInputDirty_ = true;
}

// ---- Frames and targets ----------------------------------------------------

Result GlDevice::BeginScene() { return lock_.BeginFrame() ? Result::Ok : Result::InvalidCall; }

Result GlDevice::EndScene() { return lock_.EndFrame() ? Result::Ok : Result::InvalidCall; }

void GlDevice::ResetViewport() {
  state_.viewport = Viewport{0, 0, renderTarget_->Desc().width, renderTarget_->Desc().height, 0.0f, 1.0f};
}

bool GlDevice::BindTarget() {
  if (targetDirty_) {
    glNamedFramebufferTexture(drawFbo_, GL_COLOR_ATTACHMENT0, renderTarget_->GlTextureName(), renderTarget_->Level());
    // Direct3D draws with a depth buffer at least as large as the target;
    // a smaller one would clip the drawing in GL, so it is left off.
    const SurfaceDesc& rt = renderTarget_->Desc();
    const bool depth = depthStencil_ && depthStencil_->Desc().width >= rt.width &&
                       depthStencil_->Desc().height >= rt.height;
    const bool stencil = depth && GlFormatOf(depthStencil_->Desc().format).stencil;
    glNamedFramebufferTexture(drawFbo_, GL_DEPTH_STENCIL_ATTACHMENT, 0, 0);
    glNamedFramebufferTexture(drawFbo_, GL_DEPTH_ATTACHMENT, 0, 0);
    if (depth)
      glNamedFramebufferTexture(drawFbo_, stencil ? GL_DEPTH_STENCIL_ATTACHMENT : GL_DEPTH_ATTACHMENT,
                                depthStencil_->GlTextureName(), 0);
    depthAttached_ = depth;
    targetDirty_ = false;
  }
  glBindFramebuffer(GL_DRAW_FRAMEBUFFER, drawFbo_);
  return glCheckNamedFramebufferStatus(drawFbo_, GL_DRAW_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
}

Result GlDevice::Clear(uint32_t rectCount, const Rect* rects, uint32_t flags, Color color, float z,
                       uint32_t stencil) {
  if (rectCount > 0 && !rects) return Result::InvalidCall;
  DeviceScope scope(lock_);
  if (!BindTarget()) return Result::InvalidCall;
  const Viewport& vp = state_.viewport;
  std::vector<Rect> areas;
  const Rect view{static_cast<int32_t>(vp.x), static_cast<int32_t>(vp.y), static_cast<int32_t>(vp.x + vp.width),
                  static_cast<int32_t>(vp.y + vp.height)};
  if (rectCount == 0) {
    areas.push_back(view);
  } else {
    for (uint32_t i = 0; i < rectCount; ++i) {
      Rect r{std::max(rects[i].left, view.left), std::max(rects[i].top, view.top),
             std::min(rects[i].right, view.right), std::min(rects[i].bottom, view.bottom)};
      if (r.left < r.right && r.top < r.bottom) areas.push_back(r);
    }
  }
  // A clear writes whatever the write masks say, as Direct3D's does.
  glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
  glDepthMask(GL_TRUE);
  glStencilMask(0xFF);
  glEnable(GL_SCISSOR_TEST);
  float rgba[4];
  ColorToFloats(color, rgba);
  const GLint s = static_cast<GLint>(stencil & 0xFF);
  for (const Rect& r : areas) {
    glScissor(r.left, r.top, r.Width(), r.Height());
    if (flags & clear::Target) glClearNamedFramebufferfv(drawFbo_, GL_COLOR, 0, rgba);
    if (depthAttached_) {
      const bool hasStencil = GlFormatOf(depthStencil_->Desc().format).stencil;
      if ((flags & clear::ZBuffer) && (flags & clear::Stencil) && hasStencil)
        glClearNamedFramebufferfi(drawFbo_, GL_DEPTH_STENCIL, 0, z, s);
      else if (flags & clear::ZBuffer)
        glClearNamedFramebufferfv(drawFbo_, GL_DEPTH, 0, &z);
      else if ((flags & clear::Stencil) && hasStencil)
        glClearNamedFramebufferiv(drawFbo_, GL_STENCIL, 0, &s);
    }
  }
  applied_.valid = false;  // masks and scissor are the device state's again at the next draw
  return Result::Ok;
}

Result GlDevice::GetBackBuffer(uint32_t swapChain, uint32_t index, Surface** surface) {
  if (!surface || swapChain != 0 || index != 0) return Result::InvalidCall;
  backBuffer_->AddRef();
  *surface = backBuffer_.get();
  return Result::Ok;
}

Result GlDevice::SetRenderTarget(uint32_t index, Surface* surface) {
  auto* s = As<GlSurface>(surface);
  if (index != 0) return surface ? Result::NotAvailable : Result::Ok;  // one target at a time
  if (!s || s->IsCpu() || !GlFormatOf(s->Desc().format).renderable) return Result::InvalidCall;
  DeviceScope scope(lock_);
  renderTarget_ = s;
  targetDirty_ = true;
  ResetViewport();
  return Result::Ok;
}

Result GlDevice::GetRenderTarget(uint32_t index, Surface** surface) {
  if (!surface || index != 0) return Result::InvalidCall;
  DeviceScope scope(lock_);
  renderTarget_->AddRef();
  *surface = renderTarget_;
  return Result::Ok;
}

Result GlDevice::SetDepthStencilSurface(Surface* surface) {
  auto* s = As<GlSurface>(surface);
  if (surface && (!s || !IsDepthFormat(s->Desc().format))) return Result::InvalidCall;
  DeviceScope scope(lock_);
  depthStencil_ = s;
  targetDirty_ = true;
  return Result::Ok;
}

Result GlDevice::GetDepthStencilSurface(Surface** surface) {
  if (!surface) return Result::InvalidCall;
  DeviceScope scope(lock_);
  if (!depthStencil_) return Result::NotAvailable;
  depthStencil_->AddRef();
  *surface = depthStencil_;
  return Result::Ok;
}

Result GlDevice::SetViewport(const Viewport& viewport) {
  DeviceScope scope(lock_);
  const SurfaceDesc& rt = renderTarget_->Desc();
  if (viewport.width == 0 || viewport.height == 0 || viewport.x + viewport.width > rt.width ||
      viewport.y + viewport.height > rt.height || viewport.minZ < 0.0f || viewport.maxZ > 1.0f)
    return Result::InvalidCall;
  state_.viewport = viewport;
  return Result::Ok;
}

Result GlDevice::GetViewport(Viewport* viewport) {
  if (!viewport) return Result::InvalidCall;
  DeviceScope scope(lock_);
  *viewport = state_.viewport;
  return Result::Ok;
}

Result GlDevice::SetScissorRect(const Rect& rect) {
  DeviceScope scope(lock_);
  state_.scissor = rect;
  return Result::Ok;
}

// ---- States ----------------------------------------------------------------

Result GlDevice::SetRenderState(RenderState state, uint32_t value) {
  const auto i = static_cast<uint32_t>(state);
  if (i >= kRenderStates) return Result::InvalidCall;
  DeviceScope scope(lock_);
  state_.render[i] = value;
  return Result::Ok;
}

Result GlDevice::GetRenderState(RenderState state, uint32_t* value) {
  const auto i = static_cast<uint32_t>(state);
  if (i >= kRenderStates || !value) return Result::InvalidCall;
  DeviceScope scope(lock_);
  *value = state_.render[i];
  return Result::Ok;
}

Result GlDevice::SetSamplerState(uint32_t sampler, SamplerState state, uint32_t value) {
  const auto i = static_cast<uint32_t>(state);
  if (sampler >= kSamplerUnits || i >= kSamplerStates) return Result::InvalidCall;
  DeviceScope scope(lock_);
  state_.sampler[sampler][i] = value;
  return Result::Ok;
}

Result GlDevice::GetSamplerState(uint32_t sampler, SamplerState state, uint32_t* value) {
  const auto i = static_cast<uint32_t>(state);
  if (sampler >= kSamplerUnits || i >= kSamplerStates || !value) return Result::InvalidCall;
  DeviceScope scope(lock_);
  *value = state_.sampler[sampler][i];
  return Result::Ok;
}

Result GlDevice::SetTextureStageState(uint32_t stage, TextureStageState state, uint32_t value) {
  const auto i = static_cast<uint32_t>(state);
  if (stage >= kTextureStages || i >= kStageStates) return Result::InvalidCall;
  DeviceScope scope(lock_);
  state_.stage[stage][i] = value;
  return Result::Ok;
}

Result GlDevice::GetTextureStageState(uint32_t stage, TextureStageState state, uint32_t* value) {
  const auto i = static_cast<uint32_t>(state);
  if (stage >= kTextureStages || i >= kStageStates || !value) return Result::InvalidCall;
  DeviceScope scope(lock_);
  *value = state_.stage[stage][i];
  return Result::Ok;
}

Result GlDevice::SetTexture(uint32_t sampler, Texture* texture) {
  auto* t = As<GlTexture>(texture);
  if (sampler >= kSamplerUnits || (texture && !t)) return Result::InvalidCall;
  DeviceScope scope(lock_);
  textures_[sampler] = t;
  return Result::Ok;
}

// ---- Shaders and constants -------------------------------------------------

Result GlDevice::SetVertexShader(VertexShader* shader) {
  auto* s = As<GlVertexShader>(shader);
  if (shader && !s) return Result::InvalidCall;
  DeviceScope scope(lock_);
  vertexShader_ = s;
  return Result::Ok;
}

Result GlDevice::SetPixelShader(PixelShader* shader) {
  auto* s = As<GlPixelShader>(shader);
  if (shader && !s) return Result::InvalidCall;
  DeviceScope scope(lock_);
  pixelShader_ = s;
  return Result::Ok;
}

Result GlDevice::SetVertexShaderConstantF(uint32_t start, const float* data, uint32_t count4) {
  if (!data || start > kVertexConstantRegisters || count4 > kVertexConstantRegisters - start)
    return Result::InvalidCall;
  DeviceScope scope(lock_);
  std::memcpy(vertexRegisters_.data() + start * 4, data, count4 * 16);
  vertexRegistersDirty_ = true;
  return Result::Ok;
}

Result GlDevice::GetVertexShaderConstantF(uint32_t start, float* data, uint32_t count4) {
  if (!data || start > kVertexConstantRegisters || count4 > kVertexConstantRegisters - start)
    return Result::InvalidCall;
  DeviceScope scope(lock_);
  std::memcpy(data, vertexRegisters_.data() + start * 4, count4 * 16);
  return Result::Ok;
}

Result GlDevice::SetPixelShaderConstantF(uint32_t start, const float* data, uint32_t count4) {
  if (!data || start > kPixelConstantRegisters || count4 > kPixelConstantRegisters - start)
    return Result::InvalidCall;
  DeviceScope scope(lock_);
  std::memcpy(pixelRegisters_.data() + start * 4, data, count4 * 16);
  pixelRegistersDirty_ = true;
  return Result::Ok;
}

Result GlDevice::GetPixelShaderConstantF(uint32_t start, float* data, uint32_t count4) {
  if (!data || start > kPixelConstantRegisters || count4 > kPixelConstantRegisters - start)
    return Result::InvalidCall;
  DeviceScope scope(lock_);
  std::memcpy(data, pixelRegisters_.data() + start * 4, count4 * 16);
  return Result::Ok;
}

void GlDevice::SetShaderConstantF(ShaderStage stage, int startRegister, const float* data, int count4) {
  if (startRegister < 0 || count4 < 0) return;
  const auto start = static_cast<uint32_t>(startRegister), count = static_cast<uint32_t>(count4);
  if (stage == ShaderStage::Vertex)
    SetVertexShaderConstantF(start, data, count);
  else
    SetPixelShaderConstantF(start, data, count);
}

// ---- Vertex input ----------------------------------------------------------

Result GlDevice::SetVertexDeclaration(VertexDeclaration* decl) {
  auto* d = As<GlVertexDeclaration>(decl);
  if (decl && !d) return Result::InvalidCall;
  DeviceScope scope(lock_);
  decl_ = d;
  vertexInputDirty_ = true;
  return Result::Ok;
}

Result GlDevice::SetStreamSource(uint32_t stream, VertexBuffer* buffer, uint32_t offset, uint32_t stride) {
  auto* b = As<GlVertexBuffer>(buffer);
  if (stream >= kStreams || (buffer && !b)) return Result::InvalidCall;
  DeviceScope scope(lock_);
  streams_[stream] = Stream{b, b ? b->GlName() : 0, offset, stride};
  return Result::Ok;
}

Result GlDevice::SetIndices(IndexBuffer* buffer) {
  auto* b = As<GlIndexBuffer>(buffer);
  if (buffer && !b) return Result::InvalidCall;
  DeviceScope scope(lock_);
  indices_ = b;
  return Result::Ok;
}

// ---- Drawing ---------------------------------------------------------------

bool GlDevice::ApplyProgram(bool points) {
  const GlStageShader& vs = vertexShader_->Stage();
  GlStageShader* ps = pixelShader_ ? &pixelShader_->Stage() : nullptr;
  const bool alphaTest = state_.Get(RenderState::AlphaTestEnable) != 0;
  const std::string ffKey = ps ? std::string() : FixedFunctionKey(state_);
  const GlProgram* p =
      programs_.Get(vs, ps, alphaTest, points, ffKey, [&] { return FixedFunctionPixelGlsl(state_, vs); });
  if (!p) return false;
  if (p != program_) {
    glUseProgram(p->program);
    program_ = p;
    vertexRegistersDirty_ = pixelRegistersDirty_ = true;
  }
  if (p->pixelFix >= 0) {
    // Half a pixel to Direct3D's pixel centres; vertically a step short of
    // it, which the pixel stage reads its inputs back across (see
    // kPixelCentreStep). A program keeps its uniforms: set when they change.
    const std::array<float, 2> fix{1.0f / static_cast<float>(state_.viewport.width),
                                   -(1.0f - 2.0f * kPixelCentreStep) / static_cast<float>(state_.viewport.height)};
    if (p->appliedPixelFix != fix) {
      glProgramUniform2f(p->program, p->pixelFix, fix[0], fix[1]);
      p->appliedPixelFix = fix;
    }
  }
  if (p->alphaFunc >= 0) {
    const uint32_t func = state_.Get(RenderState::AlphaTestEnable) ? state_.Get(RenderState::AlphaFunc)
                                                                   : static_cast<uint32_t>(Cmp::Always);
    glUniform1i(p->alphaFunc, static_cast<GLint>(func));
    glUniform1f(p->alphaRef, static_cast<float>(state_.Get(RenderState::AlphaRef) & 0xFF));
  }
  if (p->textureFactor >= 0) {
    float f[4];
    ColorToFloats(state_.Get(RenderState::TextureFactor), f);
    glUniform4fv(p->textureFactor, 1, f);
  }
  auto fill = [this](const ShaderCode& code, GLint glSize, const float* registers, int count, GLuint ubo,
                     GLuint binding) {
    const size_t size = std::max<size_t>(static_cast<size_t>(glSize), code.uniformBlockSize);
    blockScratch_.assign(size, 0);
    FillUniformBlock(code, registers, count, blockScratch_.data());
    glNamedBufferData(ubo, static_cast<GLsizeiptr>(size), blockScratch_.data(), GL_STREAM_DRAW);
    glBindBufferBase(GL_UNIFORM_BUFFER, binding, ubo);
  };
  if (vertexRegistersDirty_ && p->vertexBlockSize > 0)
    fill(vs.code, p->vertexBlockSize, vertexRegisters_.data(), kVertexConstantRegisters, vertexUbo_,
         kVertexBlockBinding);
  vertexRegistersDirty_ = false;
  if (pixelRegistersDirty_ && ps && p->pixelBlockSize > 0)
    fill(ps->code, p->pixelBlockSize, pixelRegisters_.data(), kPixelConstantRegisters, pixelUbo_,
         kPixelBlockBinding);
  pixelRegistersDirty_ = false;
  if (p->writesPointSize != programPointSize_) {
    if (p->writesPointSize) glEnable(GL_PROGRAM_POINT_SIZE); else glDisable(GL_PROGRAM_POINT_SIZE);
    programPointSize_ = p->writesPointSize;
  }
  return true;
}

void GlDevice::ApplyTextures() {
  for (int i = 0; i < kSamplerUnits; ++i) {
    GlTexture* t = textures_[static_cast<size_t>(i)];
    const GLuint name = t && !t->IsCpu() ? t->GlName() : 0;
    if (name != boundTextures_[static_cast<size_t>(i)]) {
      glBindTextureUnit(static_cast<GLuint>(i), name);
      boundTextures_[static_cast<size_t>(i)] = name;
    }
    if (name) ApplySamplerState(samplers_[static_cast<size_t>(i)], state_.sampler[static_cast<size_t>(i)],
                                &appliedSamplers_[static_cast<size_t>(i)]);
  }
}

void GlDevice::ApplyVertexInput(const GlStageShader& vs) {
  if (vertexInputDirty_ || vertexInputShader_ != vs.id) {
    for (GLuint loc = 0; loc < 16; ++loc) glDisableVertexArrayAttrib(vao_, loc);
    for (const VertexInput& in : vs.code.inputs) {
      const auto loc = static_cast<GLuint>(in.location);
      const VertexElement* match = nullptr;
      if (decl_)
        for (const VertexElement& e : decl_->Elements())
          if (e.usageIndex == in.semanticIndex && UsageMatches(in.semantic, e.usage)) match = &e;
      if (!match) {
        glVertexAttrib4f(loc, 0.0f, 0.0f, 0.0f, 1.0f);
        continue;
      }
      const AttribFormat f = GlAttrib(match->type);
      glEnableVertexArrayAttrib(vao_, loc);
      glVertexArrayAttribFormat(vao_, loc, f.size, f.type, f.normalized, match->offset);
      glVertexArrayAttribBinding(vao_, loc, match->stream);
    }
    vertexInputDirty_ = false;
    vertexInputShader_ = vs.id;
  }
  for (GLuint s = 0; s < kStreams; ++s) {
    const Stream& st = streams_[s];
    Stream& bound = boundStreams_[s];
    if (bound.glBuffer == st.glBuffer && bound.offset == st.offset && bound.stride == st.stride) continue;
    glVertexArrayVertexBuffer(vao_, s, st.glBuffer, st.offset, static_cast<GLsizei>(st.stride));
    bound = st;
  }
}

GLenum GlDevice::PrepareDraw(PrimitiveType type, uint32_t primitiveCount, GLsizei* vertexCount) {
  *vertexCount = VertexCount(type, primitiveCount);
  if (!vertexShader_ || primitiveCount == 0) return kNoDraw;  // vertex processing needs a shader here
  if (!BindTarget()) return kNoDraw;
  ApplyRenderState(state_, depthAttached_, &applied_);
  if (!ApplyProgram(type == PrimitiveType::PointList)) return kNoDraw;
  ApplyTextures();
  ApplyVertexInput(vertexShader_->Stage());
  return GlPrimitive(type);
}

Result GlDevice::DrawPrimitive(PrimitiveType type, uint32_t startVertex, uint32_t primitiveCount) {
  DeviceScope scope(lock_);
  GLsizei count = 0;
  const GLenum mode = PrepareDraw(type, primitiveCount, &count);
  if (mode == kNoDraw) return primitiveCount == 0 ? Result::Ok : Result::InvalidCall;
  glDrawArrays(mode, static_cast<GLint>(startVertex), count);
  return Result::Ok;
}

Result GlDevice::DrawIndexedPrimitive(PrimitiveType type, int32_t baseVertexIndex, uint32_t, uint32_t,
                                      uint32_t startIndex, uint32_t primitiveCount) {
  DeviceScope scope(lock_);
  if (!indices_) return Result::InvalidCall;
  GLsizei count = 0;
  const GLenum mode = PrepareDraw(type, primitiveCount, &count);
  if (mode == kNoDraw) return primitiveCount == 0 ? Result::Ok : Result::InvalidCall;
  const bool wide = indices_->IndexFormat() == Format::Index32;
  if (indexBuffer_ != indices_->GlName()) {
    indexBuffer_ = indices_->GlName();
    glVertexArrayElementBuffer(vao_, indexBuffer_);
  }
  const uintptr_t offset = static_cast<uintptr_t>(startIndex) * (wide ? 4 : 2);
  glDrawElementsBaseVertex(mode, count, wide ? GL_UNSIGNED_INT : GL_UNSIGNED_SHORT,
                           reinterpret_cast<const void*>(offset), baseVertexIndex);
  return Result::Ok;
}

Result GlDevice::DrawPrimitiveUP(PrimitiveType type, uint32_t primitiveCount, const void* vertices,
                                 uint32_t stride) {
  if (!vertices || stride == 0) return Result::InvalidCall;
  DeviceScope scope(lock_);
  const auto bytes = static_cast<GLsizeiptr>(VertexCount(type, primitiveCount)) * stride;
  glNamedBufferData(upVertexBuffer_, bytes, vertices, GL_STREAM_DRAW);
  streams_[0] = Stream{nullptr, upVertexBuffer_, 0, stride};
  GLsizei count = 0;
  const GLenum mode = PrepareDraw(type, primitiveCount, &count);
  if (mode != kNoDraw) glDrawArrays(mode, 0, count);
  streams_[0] = Stream{};
  return mode != kNoDraw || primitiveCount == 0 ? Result::Ok : Result::InvalidCall;
}

Result GlDevice::DrawIndexedPrimitiveUP(PrimitiveType type, uint32_t minIndex, uint32_t numVertices,
                                        uint32_t primitiveCount, const void* indices, Format indexFormat,
                                        const void* vertices, uint32_t stride) {
  if (!vertices || !indices || stride == 0 || (indexFormat != Format::Index16 && indexFormat != Format::Index32))
    return Result::InvalidCall;
  DeviceScope scope(lock_);
  const bool wide = indexFormat == Format::Index32;
  GLsizei count = VertexCount(type, primitiveCount);
  glNamedBufferData(upVertexBuffer_, static_cast<GLsizeiptr>(minIndex + numVertices) * stride, vertices,
                    GL_STREAM_DRAW);
  glNamedBufferData(upIndexBuffer_, static_cast<GLsizeiptr>(count) * (wide ? 4 : 2), indices, GL_STREAM_DRAW);
  streams_[0] = Stream{nullptr, upVertexBuffer_, 0, stride};
  const GLenum mode = PrepareDraw(type, primitiveCount, &count);
  if (mode != kNoDraw) {
    indexBuffer_ = upIndexBuffer_;
    glVertexArrayElementBuffer(vao_, upIndexBuffer_);
    glDrawElements(mode, count, wide ? GL_UNSIGNED_INT : GL_UNSIGNED_SHORT, nullptr);
  }
  streams_[0] = Stream{};
  indices_ = nullptr;
  return mode != kNoDraw || primitiveCount == 0 ? Result::Ok : Result::InvalidCall;
}

}  // namespace gfx
