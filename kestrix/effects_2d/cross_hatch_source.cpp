#include "effects_2d/cross_hatch_source.h"

#include "draw_states.h"
#include "platform/d3dx/device_texture.h"
#include "platform/sys/resources.h"
#include "platform/window/kit/dialog_helpers.h"
#include "platform/window/kit/plug_chunks.h"

namespace kestrix {
namespace {

constexpr uint32_t kShader = 113;
constexpr int kDialog = 186;
constexpr uint32_t kPatternBitmaps[2] = {132, 133};
constexpr int kCrossHatchRadio = 1044;
constexpr int kHalftoneRadio = 1045;
constexpr uint32_t kIndexTag = lv::ChunkTag("INDX");

const lv::ParamInfo kParams[CrossHatchSource::kNumParams] = {
    {0, 255, 0, 0, lv::ChunkTag("KRED"), "Key Red", nullptr},
    {0, 255, 0, 0, lv::ChunkTag("KGRN"), "Key Grn", nullptr},
    {0, 255, 0, 0, lv::ChunkTag("KBLU"), "Key Blue", nullptr},
    {0, 255, 0, 0, lv::ChunkTag("KDST"), "Key Dist", nullptr},
    {-100, 100, 0, 0, lv::ChunkTag("BADJ"), "Bright", nullptr},
    {0, 100, 0, 0, lv::ChunkTag("STRN"), "Strength", nullptr},
    {0, 200, 0, 0, lv::ChunkTag("SATR"), "Saturate", nullptr},
};

constexpr kit::OptionCheckBox kCheckBoxes[] = {
    {1015, CrossHatchSource::kStretch},
    {1016, CrossHatchSource::kTransparentKey},
    {1018, CrossHatchSource::kEraseOnNoteOff},
    {1023, CrossHatchSource::kResetEachNote},
    {1020, CrossHatchSource::kLooped},
    {kit::audio_box::kVolumeVelocity, CrossHatchSource::kVolumeFollowsVelocity},
    {kit::audio_box::kPanVelocity, CrossHatchSource::kPanFollowsVelocity},
    {1038, CrossHatchSource::kMovingPattern},
};

// Position, the source's coordinates (set 0) and the pattern's (set 1).
struct HatchVertex {
  float x, y, z;
  float u, v;
  float patternU, patternV;
};
static_assert(sizeof(HatchVertex) == 28);

// The classic runtime generator, private to the effect so that no other
// user of rand() moves the pattern and the jumps are the same on every
// platform.
class PatternJitter {
 public:
  explicit PatternJitter(uint32_t seed) : state_(seed) {}
  int Next() {
    state_ = state_ * 214013u + 2531011u;
    return int((state_ >> 16) & 0x7FFF);
  }

 private:
  uint32_t state_;
};

class PatternChoice final : public kit::SettingsDialogExtras {
 public:
  explicit PatternChoice(CrossHatchSource& plug) : plug_(plug) {}
  void Init(window::Dialog& dialog) override {
    dialog.CheckRadioButton(kCrossHatchRadio, kHalftoneRadio,
                            plug_.PatternIndex() == CrossHatchSource::kHalftone ? kHalftoneRadio : kCrossHatchRadio);
  }
  void Apply(window::Dialog& dialog) override {
    plug_.SetPatternIndex(kit::DialogIsChecked(dialog, kHalftoneRadio) ? CrossHatchSource::kHalftone
                                                                        : CrossHatchSource::kCrossHatch);
  }

 private:
  CrossHatchSource& plug_;
};

}  // namespace

const lv::ParamInfo* CrossHatchSource::GetParamInfo(int32_t i) { return &kParams[i]; }

bool CrossHatchSource::Load(lv::ChunkStream* stream) {
  return kit::LoadFlagNameVolPan(stream, host, {&options_, nullptr, nullptr, &sourceName_},
                                 [this](uint32_t tag, lv::ChunkStream& s) {
                                   int32_t index = 0;
                                   // A damaged or foreign index falls back to the cross-hatch.
                                   if (tag == kIndexTag && s.BytesLeft() >= 4 && s.ReadInt32(&index)) {
                                     SetPatternIndex(index);
                                   }
                                 });
}

bool CrossHatchSource::Save(lv::ChunkStream* stream) {
  return kit::SaveFlagNameVolPan(stream, {&options_, nullptr, nullptr, &sourceName_},
                                 [this](lv::ChunkStream& s) { return s.WriteInt32Chunk(kIndexTag, &pattern_); });
}

bool CrossHatchSource::CreateDeviceObjects() {
  if (!OpenSourceAndDeclaration(kLooped)) return false;
  half_ = HalfExtentsFor(kStretch);
  gfx::Device* device = host->GetDevice();
  const sys::Resource bitmap = sys::FindResource(sys::kResourceBitmap, kPatternBitmaps[pattern_ == kHalftone]);
  gfx::Texture* texture = nullptr;
  if (bitmap && device != nullptr) d3dx::CreateTextureFromFileInMemory(device, bitmap.data, bitmap.size, &texture);
  patternTexture_ = gfx::Ref<gfx::Texture>(texture);
  twoSetDeclaration_ = gfx::Ref<gfx::VertexDeclaration>(CreateTwoSetDeclaration(device));
  vertexShader_ = CompileVertexShader(host, kShader, "vs_main");
  const bool keyed = (options_ & kTransparentKey) != 0;
  pixelShader_ = CompilePixelShader(host, kShader, keyed ? "ps_hatch_keyed" : "ps_hatch");
  if (!patternTexture_ || !twoSetDeclaration_ || !vertexShader_ || !pixelShader_) {
    ReleaseDeviceObjects();
    return false;
  }
  matWVP_ = FindConstant(vertexShader_.constants, "matWVP");
  keyColor_ = FindConstant(pixelShader_.constants, "KeyColor");
  keyDist_ = FindConstant(pixelShader_.constants, "KeyDist");
  brightAdjust_ = FindConstant(pixelShader_.constants, "BrightAdjust");
  hatchStrength_ = FindConstant(pixelShader_.constants, "HatchStrength");
  saturate_ = FindConstant(pixelShader_.constants, "Saturate");
  return true;
}

void CrossHatchSource::ReleaseEffectObjects() {
  patternTexture_ = {};
  twoSetDeclaration_ = {};
  vertexShader_ = {};
  pixelShader_ = {};
}

bool CrossHatchSource::Configure(lv::WindowHandle owner) {
  PatternChoice choice(*this);
  return RunSettingsDialog(kDialog, owner, kCheckBoxes, &volume_, &pan_, &choice);
}

void CrossHatchSource::NoteOn() {
  timeSinceNoteOn_ = 0;
  AttachSource(kResetEachNote);
  AdvanceSource(0);
}

void CrossHatchSource::NoteOff() { EraseAndDetach(kEraseOnNoteOff); }

void CrossHatchSource::Render(uint32_t milliseconds) {
  timeSinceNoteOn_ += milliseconds;
  gfx::Device* device = nullptr;
  const gfx::SurfaceDesc* target = nullptr;
  if (!BeginFrame(milliseconds, device, target) || !vertexShader_ || !pixelShader_) return;

  BindStage(device, 0, source_->GetTexture(), gfx::Address::Clamp, gfx::Filter::Linear);
  BindStage(device, 1, patternTexture_.get(), gfx::Address::Wrap, gfx::Filter::Point);

  // The pattern jumps every 100 ms with "Moving pattern".
  float du = 0, dv = 0;
  if ((options_ & kMovingPattern) != 0) {
    PatternJitter jitter(timeSinceNoteOn_ / 100);
    du = float(jitter.Next() % 1021) / 1021.0f;
    dv = float(jitter.Next() % 1021) / 1021.0f;
  }
  // One pattern repeat every 96 target pixels.
  const float pu = du + half_.width / 48.0f, pv = dv + half_.height / 48.0f;
  const float* s = source_->GetTexelOffset();
  const float w = half_.width, h = half_.height;
  const HatchVertex vertices[4] = {
      {-w, +h, 1.0f, s[0], s[1], du, dv},
      {+w, +h, 1.0f, s[2], s[1], pu, dv},
      {+w, -h, 1.0f, s[2], s[3], pu, pv},
      {-w, -h, 1.0f, s[0], s[3], du, pv},
  };

  gfx::ConstantSink& constants = device->Constants();
  const d3dx::Matrix projection = TargetProjection(target->width, target->height);
  vertexShader_.constants->SetMatrix(constants, matWVP_, &projection.m[0][0]);
  pixelShader_.constants->SetFloat(constants, brightAdjust_, float(params_[4]) * 0.01f);
  pixelShader_.constants->SetFloat(constants, hatchStrength_, float(params_[5]) * 0.01f);
  pixelShader_.constants->SetFloat(constants, saturate_, float(params_[6]) * 0.01f);
  if ((options_ & kTransparentKey) != 0) {
    const ColorKey key = KeyFromKnobs(params_);
    pixelShader_.constants->SetVector(constants, keyColor_, key.color);
    pixelShader_.constants->SetFloat(constants, keyDist_, key.distance);
  }

  SetBlending(device, true);
  BeginFlatDraw(device);
  device->SetVertexDeclaration(twoSetDeclaration_.get());
  device->SetVertexShader(vertexShader_.shader.get());
  device->SetPixelShader(pixelShader_.shader.get());
  device->DrawPrimitiveUP(gfx::PrimitiveType::TriangleFan, 2, vertices, sizeof(HatchVertex));
  EndFlatDraw(device, 2);
}

}  // namespace kestrix
