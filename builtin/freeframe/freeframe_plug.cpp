#include "freeframe/freeframe_plug.h"

#include <algorithm>
#include <cstring>

#include "freeframe/freeframe_dialog.h"
#include "freeframe/freeframe_quad_shader.h"
#include "freeframe/freeframe_values.h"
#include "lv/lorvane_interface.h"
#include "platform/d3dx/math.h"
#include "platform/gfx/device.h"
#include "platform/gfx/states.h"

namespace ff {
namespace {

constexpr uint32_t kNameTag = lv::ChunkTag("NAME");
constexpr uint32_t kTextTag = lv::ChunkTag("FFTX");
// Longest saved source name and text value read back, without the NUL.
constexpr int32_t kMaxLoadedName = 511;
constexpr int32_t kMaxLoadedText = 510;

struct Vertex {
  float x, y, z, u, v;
};

void FormatThroughInstance(int32_t value, char* text, lv::Plug* instance, int32_t index) {
  static_cast<FreeFramePlug*>(instance)->FormatParam(index, value, text);
}

const char* TextResult(Word result) { return ResultPointer<char>(result); }

// A chunk's remaining payload as text: at most `limit` bytes, cut at the
// first NUL.
std::string ReadText(lv::ChunkStream* stream, int32_t limit) {
  const int32_t length = std::min(stream->BytesLeft(), limit);
  if (length <= 0) return {};
  std::string text(size_t(length), '\0');
  if (!stream->ReadChunkData(text.data(), length)) return {};
  text.resize(std::strlen(text.c_str()));
  return text;
}

}  // namespace

FreeFramePlug::FreeFramePlug(PlugMainFn entry, const lv::ClassId& classId) : entry_(entry), classId_(classId) {
  const Word count = entry_(kGetNumParameters, 0, 0);
  const uint32_t n = Failed(count) ? 0 : ResultWord(count);
  for (uint32_t index = 0; index < n; ++index) {
    const uint32_t type = ResultWord(entry_(kGetParameterType, index, 0));
    std::string name = FieldText(TextResult(entry_(kGetParameterName, index, 0)), "Unnamed");
    const Word defaultValue = entry_(kGetParameterDefault, index, 0);
    if (type == kTextParameter) {
      const char* text = TextResult(defaultValue);
      text_.push_back({std::move(name), index, text != nullptr ? text : ""});
    } else {
      NumericParam param;
      param.name = std::move(name);
      param.type = type;
      param.index = index;
      param.defaultValue = ResultAsFloat(defaultValue);
      param.value = param.defaultValue;
      numeric_.push_back(std::move(param));
    }
  }
  // The rows point into the names, so they are filled once the list is final.
  for (NumericParam& param : numeric_) {
    param.row = {0, kHostParamMax, HostValue(param.defaultValue), 0, param.index, param.name.c_str(),
                 FormatThroughInstance};
  }
}

FreeFramePlug::~FreeFramePlug() { ReleaseDeviceObjects(); }

bool FreeFramePlug::Instantiated() const {
  std::lock_guard lock(instanceLock_);
  return instantiated_;
}

const FreeFramePlug::NumericParam* FreeFramePlug::Numeric(int32_t i) const {
  return i >= 0 && size_t(i) < numeric_.size() ? &numeric_[size_t(i)] : nullptr;
}

const lv::ParamInfo* FreeFramePlug::GetParamInfo(int32_t i) {
  const NumericParam* param = Numeric(i);
  return param != nullptr ? &param->row : nullptr;
}

int32_t FreeFramePlug::GetParam(int32_t i) {
  const NumericParam* param = Numeric(i);
  if (param == nullptr) return 0;
  std::lock_guard lock(instanceLock_);
  if (!instantiated_) return HostValue(param->value);
  return HostValue(ResultAsFloat(entry_(kGetParameter, param->index, instance_)));
}

void FreeFramePlug::SetParam(int32_t i, int32_t value) {
  if (Numeric(i) == nullptr) return;
  NumericParam& param = numeric_[size_t(i)];
  std::lock_guard lock(instanceLock_);
  param.value = PluginValue(value);
  if (!instantiated_) {
    param.changed = true;
    return;
  }
  Send(param.index, param.value);
}

void FreeFramePlug::Send(uint32_t index, float value) {
  SetParameter set{index, value};
  entry_(kSetParameter, reinterpret_cast<Word>(&set), instance_);
}

void FreeFramePlug::FormatParam(int32_t i, int32_t value, char* text) {
  const NumericParam* param = Numeric(i);
  const char* display = nullptr;
  std::lock_guard lock(instanceLock_);
  if (param != nullptr && instantiated_) display = TextResult(entry_(kGetParameterDisplay, param->index, instance_));
  FormatDisplay(display, value, text);
}

bool FreeFramePlug::CreateDeviceObjects() {
  ReleaseDeviceObjects();
  if (host == nullptr) return false;
  source_ = host->CreateSource(inputName_.Get(), 0);
  if (source_ == nullptr) return false;
  source_->SetOption0(1);
  if (!source_->GetInfo(&info_) || info_.width == 0 || info_.height == 0) {
    ReleaseDeviceObjects();
    return false;
  }

  {
    std::lock_guard lock(instanceLock_);
    VideoInfo video{info_.width, info_.height, kBitDepth32, kOriginTopLeft};
    const Word id = entry_(kInstantiate, reinterpret_cast<Word>(&video), 0);
    // A null instance is a plug-in that could not allocate one.
    if (Failed(id) || id == 0) {
      instance_ = kFailedInstance;
    } else {
      instance_ = id;
      instantiated_ = true;
      for (const TextParam& param : text_) {
        SetTextParameter set{param.index, 0, param.value.c_str()};
        entry_(kSetParameter, reinterpret_cast<Word>(&set), instance_);
      }
      // Knob values that arrived while there was no instance.
      for (NumericParam& param : numeric_) {
        if (!param.changed) continue;
        Send(param.index, param.value);
        param.changed = false;
      }
    }
  }
  if (!Instantiated() || !MakeShaders()) {
    ReleaseDeviceObjects();
    return false;
  }
  return true;
}

bool FreeFramePlug::MakeShaders() {
  gfx::Device* device = host->GetDevice();
  if (device == nullptr) return false;
  const gfx::VertexElement elements[] = {
      {0, 0, gfx::DeclType::Float3, gfx::DeclUsage::Position, 0},
      {0, 12, gfx::DeclType::Float2, gfx::DeclUsage::TexCoord, 0},
      gfx::kDeclEnd,
  };
  if (gfx::Failed(device->CreateVertexDeclaration(elements, declaration_.put()))) return false;

  lv::ShaderDesc desc;
  desc.source = kQuadShaderText;
  desc.length = uint32_t(std::strlen(kQuadShaderText));
  desc.entry = "vs_main";
  desc.constantTable = &vertexConstants_;
  vertexShader_ = gfx::Ref<gfx::VertexShader>(host->CompileVertexShader(&desc));
  desc.entry = "ps_passthrough";
  desc.constantTable = &pixelConstants_;
  pixelShader_ = gfx::Ref<gfx::PixelShader>(host->CompilePixelShader(&desc));
  if (!vertexShader_ || !pixelShader_ || !vertexConstants_) return false;
  matWVP_ = vertexConstants_->GetConstantByName("matWVP");
  color_ = vertexConstants_->GetConstantByName("Color");
  return true;
}

void FreeFramePlug::ReleaseDeviceObjects() {
  delete source_;
  source_ = nullptr;
  ReleaseTextures();
  declaration_ = {};
  vertexShader_ = {};
  pixelShader_ = {};
  vertexConstants_.reset();
  pixelConstants_.reset();
  std::lock_guard lock(instanceLock_);
  if (instantiated_) entry_(kDeInstantiate, 0, instance_);
  instantiated_ = false;
}

void FreeFramePlug::ReleaseTextures() {
  targetTexture_ = {};
  systemTexture_ = {};
}

bool FreeFramePlug::Configure(lv::WindowHandle owner) {
  std::vector<TextParamRow> rows;
  for (const TextParam& param : text_) rows.push_back({param.index, param.value});
  return RunFreeFrameDialog(host, owner, inputName_, rows);
}

void FreeFramePlug::NoteOn() {
  if (source_ == nullptr || host == nullptr) return;
  source_->Restart();
  source_->Attach(velocity);
  bool wrapped = false, newFrame = false;
  source_->Advance(0, &wrapped, &newFrame);

  format_ = gfx::Format::A8R8G8B8;
  gfx::SurfaceDesc desc;
  gfx::Texture* texture = source_->GetTexture();
  if (texture != nullptr && gfx::Succeeded(texture->GetLevelDesc(0, &desc)) &&
      desc.format == gfx::Format::X8R8G8B8) {
    format_ = desc.format;
  }
  ReleaseTextures();
  targetTexture_ = gfx::Ref<gfx::Texture>(
      host->CreateTexture(info_.width, info_.height, format_, gfx::usage::RenderTarget, gfx::Pool::Default));
  systemTexture_ = gfx::Ref<gfx::Texture>(
      host->CreateTexture(info_.width, info_.height, format_, gfx::usage::None, gfx::Pool::SystemMem));
}

void FreeFramePlug::NoteOff() {
  if (source_ != nullptr) source_->Detach();
  ReleaseTextures();
}

void FreeFramePlug::Render(uint32_t milliseconds) {
  if (source_ == nullptr) return;
  bool wrapped = false, newFrame = false;
  source_->Advance(milliseconds, &wrapped, &newFrame);
  gfx::Texture* sourceTexture = source_->GetTexture();
  if (sourceTexture == nullptr || !targetTexture_ || !systemTexture_ || !vertexShader_) return;
  if (!CopySourceFrame(sourceTexture)) return;
  ProcessSystemFrame();
  systemTexture_->AddDirtyRect(nullptr);
  gfx::Device* device = host->GetDevice();
  if (device == nullptr || gfx::Failed(device->UpdateTexture(systemTexture_.get(), targetTexture_.get()))) return;
  DrawResult();
}

bool FreeFramePlug::CopySourceFrame(gfx::Texture* sourceTexture) {
  gfx::Device* device = host->GetDevice();
  gfx::Ref<gfx::Surface> source, target, system;
  if (device == nullptr || gfx::Failed(sourceTexture->GetSurfaceLevel(0, source.put())) ||
      gfx::Failed(targetTexture_->GetSurfaceLevel(0, target.put())) ||
      gfx::Failed(systemTexture_->GetSurfaceLevel(0, system.put()))) {
    return false;
  }
  gfx::SurfaceDesc desc;
  if (gfx::Failed(source->GetDesc(&desc))) return false;
  // A render-target source of the frame's own size and format reads back
  // directly; any other (a larger power-of-two texture, another format) is
  // first copied into our render target.
  if ((desc.usage & gfx::usage::RenderTarget) != 0 && desc.format == format_ && desc.width == info_.width &&
      desc.height == info_.height) {
    return gfx::Succeeded(device->GetRenderTargetData(source.get(), system.get()));
  }
  return gfx::Succeeded(device->StretchRect(source.get(), nullptr, target.get(), nullptr, gfx::Filter::None)) &&
         gfx::Succeeded(device->GetRenderTargetData(target.get(), system.get()));
}

void FreeFramePlug::ProcessSystemFrame() {
  gfx::LockedRect locked;
  if (gfx::Failed(systemTexture_->LockRect(0, &locked, nullptr, 0))) return;
  const size_t row = size_t(info_.width) * 4;
  auto* bits = static_cast<uint8_t*>(locked.bits);
  // The plug-in expects tightly packed rows.
  const bool padded = size_t(locked.pitch) != row;
  if (padded) {
    packed_.resize(row * info_.height);
    for (uint32_t y = 0; y < info_.height; ++y) std::memcpy(&packed_[y * row], bits + y * size_t(locked.pitch), row);
  }
  {
    // Held only around the call: the device lock is never taken under it.
    std::lock_guard lock(instanceLock_);
    entry_(kProcessFrame, reinterpret_cast<Word>(padded ? packed_.data() : bits), instance_);
  }
  if (padded) {
    for (uint32_t y = 0; y < info_.height; ++y) std::memcpy(bits + y * size_t(locked.pitch), &packed_[y * row], row);
  }
  systemTexture_->UnlockRect(0);
}

void FreeFramePlug::DrawResult() {
  gfx::Device* device = host->GetDevice();
  device->SetTexture(0, targetTexture_.get());
  device->SetSamplerState(0, gfx::SamplerState::AddressU, uint32_t(gfx::Address::Clamp));
  device->SetSamplerState(0, gfx::SamplerState::AddressV, uint32_t(gfx::Address::Clamp));
  device->SetSamplerState(0, gfx::SamplerState::MagFilter, uint32_t(gfx::Filter::Linear));
  device->SetSamplerState(0, gfx::SamplerState::MinFilter, uint32_t(gfx::Filter::Linear));
  device->SetSamplerState(0, gfx::SamplerState::MipFilter, uint32_t(gfx::Filter::Point));

  const d3dx::Matrix projection = d3dx::MatrixOrthoLH(2.0f, 2.0f, 0.0f, 2.0f);
  static constexpr float kWhite[4] = {1.0f, 1.0f, 1.0f, 1.0f};
  gfx::ConstantSink& constants = device->Constants();
  vertexConstants_->SetMatrix(constants, matWVP_, &projection.m[0][0]);
  vertexConstants_->SetVector(constants, color_, kWhite);

  device->SetRenderState(gfx::RenderState::AlphaBlendEnable, 0);
  device->SetRenderState(gfx::RenderState::CullMode, uint32_t(gfx::Cull::None));
  device->SetRenderState(gfx::RenderState::ZWriteEnable, 0);
  device->SetVertexDeclaration(declaration_.get());
  device->SetVertexShader(vertexShader_.get());
  device->SetPixelShader(pixelShader_.get());

  const float* r = source_->GetTexelOffset();
  static constexpr float kWhole[4] = {0.0f, 0.0f, 1.0f, 1.0f};
  if (r == nullptr) r = kWhole;
  const Vertex fan[4] = {
      {-1, 1, 1, r[0], r[1]},
      {1, 1, 1, r[2], r[1]},
      {1, -1, 1, r[2], r[3]},
      {-1, -1, 1, r[0], r[3]},
  };
  device->DrawPrimitiveUP(gfx::PrimitiveType::TriangleFan, 2, fan, sizeof(Vertex));

  device->SetVertexShader(nullptr);
  device->SetPixelShader(nullptr);
  device->SetRenderState(gfx::RenderState::AlphaBlendEnable, 0);
  device->SetRenderState(gfx::RenderState::ZWriteEnable, 1);
  device->SetTexture(0, nullptr);
}

bool FreeFramePlug::Save(lv::ChunkStream* stream) {
  const char* name = inputName_.Get();
  bool ok = stream->WriteChunk(kNameTag, name != nullptr ? name : "", int32_t(name != nullptr ? std::strlen(name) + 1 : 1));
  for (const TextParam& param : text_) {
    ok = ok && stream->BeginChunk(kTextTag);
    const uint32_t index = param.index;
    ok = ok && stream->WriteUInt32(&index);
    ok = ok && stream->WriteRaw(param.value.c_str(), int32_t(param.value.size() + 1));
    ok = ok && stream->EndChunk();
  }
  return stream->WriteEnd() && ok;
}

bool FreeFramePlug::Load(lv::ChunkStream* stream) {
  for (uint32_t tag = stream->NextChunk(); tag != 0; tag = stream->NextChunk()) {
    if (tag == kNameTag) {
      std::string name = ReadText(stream, kMaxLoadedName);
      char path[kMaxLoadedName + 1] = {};
      std::memcpy(path, name.c_str(), name.size() + 1);
      if (host != nullptr && !name.empty()) host->ResolveFilePath(path, int32_t(sizeof path));
      inputName_.Set(path[0] != '\0' ? path : nullptr);
    } else if (tag == kTextTag) {
      uint32_t index = 0;
      if (stream->BytesLeft() < int32_t(sizeof index) || !stream->ReadChunkData(&index, sizeof index)) continue;
      std::string text = ReadText(stream, kMaxLoadedText);
      for (TextParam& param : text_) {
        if (param.index == index) {
          param.value = std::move(text);
          break;
        }
      }
    }
  }
  return true;
}

}  // namespace ff
