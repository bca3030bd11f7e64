#include "effects_3d/tube_effect.h"

#include <algorithm>

#include "draw_states.h"
#include "platform/window/messages.h"

#include "platform/gfx/device.h"
#include "platform/window/kit/dialog_helpers.h"
#include "platform/window/kit/plug_chunks.h"

namespace kestrix {
namespace {

constexpr uint32_t kShader = 112;
constexpr uint32_t kSubdivisionTag = lv::ChunkTag("SUBD");
constexpr int kSubdivisionSlider = 1128;
constexpr int kSubdivisionText = 1129;

constexpr kit::OptionCheckBox kCheckBoxes[] = {
    {1016, TubeEffect::kTransparentBlack},
    {1018, TubeEffect::kEraseOnNoteOff},
    {1023, TubeEffect::kResetEachNote},
    {1020, TubeEffect::kLooped},
    {kit::audio_box::kVolumeVelocity, TubeEffect::kVolumeFollowsVelocity},
    {kit::audio_box::kPanVelocity, TubeEffect::kPanFollowsVelocity},
    {1021, TubeEffect::kSustain},
    {1022, TubeEffect::kVelocityActive},
    {1025, TubeEffect::kBeatSyncLoop},
    {1131, TubeEffect::kBeatSyncEffect},
    {1024, TubeEffect::kClearZBuffer},
};

constexpr float kKeyColor[4] = {0.0f, 0.0f, 0.0f, 1.0f};

int32_t ClampSubdivision(int32_t n) { return std::clamp(n, TubeEffect::kMinSubdivision, TubeEffect::kMaxSubdivision); }

// The "Coarse" .. "Fine" slider shows n - 1.
class SubdivisionControls final : public kit::SettingsDialogExtras {
 public:
  explicit SubdivisionControls(int32_t* subdivision) : subdivision_(subdivision) {}
  void Init(window::Dialog& dialog) override {
    dialog.SetRange(kSubdivisionSlider, TubeEffect::kMinSubdivision - 1, TubeEffect::kMaxSubdivision - 1);
    dialog.SetPosition(kSubdivisionSlider, *subdivision_ - 1);
    dialog.SetItemInt(kSubdivisionText, *subdivision_ - 1);
  }
  // The number beside the slider follows it while it moves.
  bool Scroll(window::Dialog& dialog, window::MessageId, window::WParam w, int id) override {
    if (id != kSubdivisionSlider) return false;
    const bool ended = window::ScrollCodeOf(w) == window::ScrollCode::kEndScroll;
    dialog.SetItemInt(kSubdivisionText, ended ? dialog.GetPosition(kSubdivisionSlider) : window::ScrollPositionOf(w));
    return true;
  }
  void Apply(window::Dialog& dialog) override {
    *subdivision_ = ClampSubdivision(dialog.GetPosition(kSubdivisionSlider) + 1);
  }

 private:
  int32_t* subdivision_;
};

}  // namespace

bool TubeEffect::Load(lv::ChunkStream* stream) {
  return kit::LoadFlagNameVolPan(stream, host, {&options_, &volume_, &pan_, &sourceName_},
                                 [this](uint32_t tag, lv::ChunkStream& chunk) {
                                   int32_t n = 0;
                                   if (tag == kSubdivisionTag && chunk.BytesLeft() >= 4 && chunk.ReadInt32(&n)) {
                                     subdivision_ = ClampSubdivision(n);
                                   }
                                 });
}

bool TubeEffect::Save(lv::ChunkStream* stream) {
  return kit::SaveFlagNameVolPan(stream, {&options_, &volume_, &pan_, &sourceName_},
                                 [this](lv::ChunkStream& chunk) {
                                   return chunk.WriteInt32Chunk(kSubdivisionTag, &subdivision_);
                                 });
}

bool TubeEffect::CreateDeviceObjects() {
  // Starts clean: an earlier call may have left objects behind.
  ReleaseDeviceObjects();
  if (host == nullptr) return false;
  gfx::Device* device = host->GetDevice();
  if (device == nullptr) return false;
  // The tube's texture wraps: the source gives a power-of-two texture.
  source_ = host->CreateSource(sourceName_.Get(), 1);
  if (source_ == nullptr) return false;
  source_->SetOption0((options_ & kLooped) != 0 ? 1 : 0);
  source_->GetInfo(&frame_);

  const int32_t n = subdivision_;
  const uint32_t vertexCount = uint32_t(n * n);
  const uint32_t indexCount = uint32_t(2 * n * n - 4);
  declaration_ = gfx::Ref<gfx::VertexDeclaration>(CreateQuadDeclaration(device));
  gfx::VertexBuffer* vertices = nullptr;
  gfx::IndexBuffer* indices = nullptr;
  if (gfx::Succeeded(device->CreateVertexBuffer(vertexCount * sizeof(QuadVertex), gfx::usage::WriteOnly,
                                                gfx::Pool::Default, &vertices))) {
    vertexBuffer_ = gfx::Ref<gfx::VertexBuffer>(vertices);
  }
  if (gfx::Succeeded(device->CreateIndexBuffer(indexCount * 2, gfx::usage::WriteOnly, gfx::Format::Index16,
                                               gfx::Pool::Default, &indices))) {
    indexBuffer_ = gfx::Ref<gfx::IndexBuffer>(indices);
  }
  if (!declaration_ || !vertexBuffer_ || !indexBuffer_) {
    ReleaseDeviceObjects();
    return false;
  }

  void* vertexData = nullptr;
  void* indexData = nullptr;
  if (gfx::Failed(vertexBuffer_->Lock(0, 0, &vertexData, gfx::lock::None))) {
    ReleaseDeviceObjects();
    return false;
  }
  if (gfx::Failed(indexBuffer_->Lock(0, 0, &indexData, gfx::lock::None))) {
    vertexBuffer_->Unlock();
    ReleaseDeviceObjects();
    return false;
  }
  mesh_ = FillMesh(static_cast<QuadVertex*>(vertexData), static_cast<uint16_t*>(indexData), n);
  vertexBuffer_->Unlock();
  indexBuffer_->Unlock();

  vertexShader_ = CompileVertexShader(host, kShader, "vs_main");
  pixelShader_ =
      CompilePixelShader(host, kShader, (options_ & kTransparentBlack) != 0 ? "ps_colorkey" : "ps_passthrough");
  if (!vertexShader_ || !pixelShader_) {
    ReleaseDeviceObjects();
    return false;
  }
  matWVP_ = FindConstant(vertexShader_.constants, "matWVP");
  colorHandle_ = FindConstant(vertexShader_.constants, "Color");
  uvScale_ = FindConstant(vertexShader_.constants, "UVScale");
  uvOffset_ = FindConstant(vertexShader_.constants, "UVOffset");
  keyColor_ = FindConstant(pixelShader_.constants, "KeyColor");
  keyDist_ = FindConstant(pixelShader_.constants, "KeyDist");
  return true;
}

void TubeEffect::ReleaseEffectObjects() {
  vertexBuffer_ = {};
  indexBuffer_ = {};
  vertexShader_ = {};
  pixelShader_ = {};
  mesh_ = {};
}

bool TubeEffect::Configure(lv::WindowHandle owner) {
  SubdivisionControls subdivision(&subdivision_);
  return RunSettingsDialog(templateId_, owner, kCheckBoxes, &volume_, &pan_, &subdivision);
}

void TubeEffect::NoteOn() {
  clockAtNoteOn_ = host != nullptr ? host->GetMidiClock() : 0;
  lastBeatCount_ = 0;
  const bool reset = (options_ & kResetEachNote) != 0;
  StartMotion(reset);
  if (reset && source_ != nullptr) source_->Restart();
  // Only a source that plays can carry a held note.
  keepPlaying_ = (options_ & kSustain) != 0 && source_ != nullptr;
  if (source_ != nullptr) source_->Attach(velocity);
  AdvanceSource(0);
}

void TubeEffect::NoteOff() { EraseAndDetach(kEraseOnNoteOff); }

void TubeEffect::BeatSync() {
  if ((options_ & (kBeatSyncLoop | kBeatSyncEffect)) == 0) return;
  const uint32_t pulses = host->GetMidiClock() - clockAtNoteOn_;
  if (pulses / kPulsesPerBeat > lastBeatCount_ / kPulsesPerBeat) {
    if ((options_ & kBeatSyncLoop) != 0) source_->Restart();
    if ((options_ & kBeatSyncEffect) != 0) ResetMotion();
  }
  lastBeatCount_ = pulses;
}

void TubeEffect::Render(uint32_t milliseconds) {
  if (source_ == nullptr || !vertexShader_ || !pixelShader_) return;
  gfx::Device* device = host->GetDevice();
  if (device == nullptr) return;
  BeatSync();
  bool wrapped = false;
  bool newFrame = false;
  // A held note lasts while the source plays on; sources that cannot carry
  // one end it at once.
  if (!source_->Advance(milliseconds, &wrapped, &newFrame) || wrapped || !source_->CanHoldNote()) {
    keepPlaying_ = false;
  }
  const Motion motion = Step(milliseconds);

  BindStage(device, 0, source_->GetTexture(), gfx::Address::Wrap, gfx::Filter::Linear);

  const d3dx::Matrix wvp = ViewProjection();
  gfx::ConstantSink& constants = device->Constants();
  vertexShader_.constants->SetMatrix(constants, matWVP_, &wvp.m[0][0]);
  vertexShader_.constants->SetVector(constants, colorHandle_, motion.color);
  vertexShader_.constants->SetVector(constants, uvScale_, motion.uvScale);
  vertexShader_.constants->SetVector(constants, uvOffset_, motion.uvOffset);
  device->SetRenderState(gfx::RenderState::AlphaBlendEnable, 1);
  device->SetRenderState(gfx::RenderState::SrcBlend, uint32_t(gfx::Blend::SrcAlpha));
  device->SetRenderState(gfx::RenderState::DestBlend, uint32_t(gfx::Blend::InvSrcAlpha));
  if ((options_ & kTransparentBlack) != 0) {
    pixelShader_.constants->SetVector(constants, keyColor_, kKeyColor);
    pixelShader_.constants->SetFloat(constants, keyDist_, KeyDistance());
  }
  const bool depthOff = (options_ & kClearZBuffer) != 0;
  if (depthOff) device->SetRenderState(gfx::RenderState::ZEnable, 0);
  device->SetRenderState(gfx::RenderState::CullMode, uint32_t(CullMode()));

  device->SetVertexDeclaration(declaration_.get());
  device->SetVertexShader(vertexShader_.shader.get());
  device->SetPixelShader(pixelShader_.shader.get());
  device->SetStreamSource(0, vertexBuffer_.get(), 0, sizeof(QuadVertex));
  device->SetIndices(indexBuffer_.get());
  device->DrawIndexedPrimitive(gfx::PrimitiveType::TriangleStrip, 0, 0, mesh_.vertexCount, 0, mesh_.triangleCount);

  device->SetVertexShader(nullptr);
  device->SetPixelShader(nullptr);
  device->SetStreamSource(0, nullptr, 0, 0);
  device->SetIndices(nullptr);
  device->SetRenderState(gfx::RenderState::AlphaBlendEnable, 0);
  if (depthOff) device->SetRenderState(gfx::RenderState::ZEnable, 1);
  device->SetTexture(0, nullptr);
  device->SetSamplerState(0, gfx::SamplerState::AddressU, uint32_t(gfx::Address::Clamp));
  device->SetSamplerState(0, gfx::SamplerState::AddressV, uint32_t(gfx::Address::Clamp));
}

}  // namespace kestrix
