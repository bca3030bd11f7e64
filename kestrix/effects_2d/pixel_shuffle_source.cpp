#include "effects_2d/pixel_shuffle_source.h"

#include <algorithm>
#include <cstring>

#include "draw_states.h"
#include "platform/window/kit/plug_chunks.h"

namespace kestrix {
namespace {

constexpr uint32_t kShader = 131;
constexpr int kDialog = 192;
constexpr int kOffsetButton = 1017;

constexpr uint32_t kFlagTag = lv::ChunkTag("FLAG");
constexpr uint32_t kNameTag = lv::ChunkTag("NAME");
constexpr uint32_t kOffsetNameTag = lv::ChunkTag("OFNM");

const lv::ParamInfo kParams[PixelShuffleSource::kNumParams] = {
    {0, 255, 0, 0, lv::ChunkTag("KRED"), "Key Red", nullptr},
    {0, 255, 0, 0, lv::ChunkTag("KGRN"), "Key Grn", nullptr},
    {0, 255, 0, 0, lv::ChunkTag("KBLU"), "Key Blue", nullptr},
    {0, 255, 3, 0, lv::ChunkTag("KDST"), "Key Dist", nullptr},
    {-200, 200, 50, 0, lv::ChunkTag("STRX"), "X Strength", nullptr},
    {-200, 200, 50, 0, lv::ChunkTag("STRY"), "Y Strength", nullptr},
    {-500, 500, 0, 0, lv::ChunkTag("XOFS"), "X Offset", nullptr},
    {-500, 500, 0, 0, lv::ChunkTag("YOFS"), "Y Offset", nullptr},
};

constexpr kit::OptionCheckBox kCheckBoxes[] = {
    {1015, PixelShuffleSource::kStretch},       {1016, PixelShuffleSource::kTransparentKey},
    {1018, PixelShuffleSource::kEraseOnNoteOff}, {1023, PixelShuffleSource::kResetEachNote},
    {1020, PixelShuffleSource::kLooped},        {1021, PixelShuffleSource::kOffsetLooped},
    {1022, PixelShuffleSource::kTileOffset},
};

// Position and two texture coordinate sets: set 0 reads the offset map,
// set 1 the source.
struct ShuffleVertex {
  float x, y, z;
  float offsetU, offsetV;
  float sourceU, sourceV;
};
static_assert(sizeof(ShuffleVertex) == 28);

// The offset source's name, read like "NAME": bounded, then looked for
// beside the project.
void LoadOffsetName(lv::ChunkStream& stream, lv::LorvaneInterface* host, kit::SourceName& name) {
  constexpr int32_t kBufferSize = kit::kMaxSavedNameLength + 1;
  char buffer[kBufferSize] = {};
  const int32_t n = std::clamp(stream.BytesLeft(), 0, kit::kMaxSavedNameLength);
  if (n > 0 && !stream.ReadChunkData(buffer, n)) return;
  if (buffer[0] == '\0') {
    name.Set(nullptr);
    return;
  }
  if (host != nullptr) host->ResolveFilePath(buffer, kBufferSize);
  buffer[kBufferSize - 1] = '\0';
  name.Set(buffer);
}

bool WriteName(lv::ChunkStream& stream, uint32_t tag, const kit::SourceName& name) {
  const char* text = name.Get() != nullptr ? name.Get() : "";
  return stream.WriteChunk(tag, text, int32_t(std::strlen(text) + 1));
}

// The dialog's "&Offset" button chooses input 1 at once, as "S&ource" does
// input 0.
class OffsetChooser final : public kit::SettingsDialogExtras {
 public:
  OffsetChooser(lv::LorvaneInterface* host, kit::SourceName& name) : host_(host), name_(name) {}
  bool Command(window::Dialog& dialog, int id, window::NotifyCode) override {
    if (id != kOffsetButton) return false;
    if (host_ == nullptr) return true;
    if (const char* chosen = host_->SelectSource(dialog.Handle(), name_.Get())) name_.Set(chosen);
    return true;
  }

 private:
  lv::LorvaneInterface* host_;
  kit::SourceName& name_;
};

}  // namespace

const lv::ParamInfo* PixelShuffleSource::GetParamInfo(int32_t i) { return &kParams[i]; }

const char* PixelShuffleSource::GetInputName(int32_t i) {
  return i == 1 ? offsetName_.Get() : sourceName_.InputName(i);
}

void PixelShuffleSource::SetInputName(int32_t i, const char* name) {
  if (i == 1) {
    offsetName_.Set(name);
  } else {
    sourceName_.SetInputName(i, name);
  }
}

bool PixelShuffleSource::Load(lv::ChunkStream* stream) {
  return kit::LoadFlagNameVolPan(stream, host, {&options_, nullptr, nullptr, &sourceName_},
                                 [this](uint32_t tag, lv::ChunkStream& s) {
                                   if (tag == kOffsetNameTag) LoadOffsetName(s, host, offsetName_);
                                 });
}

bool PixelShuffleSource::Save(lv::ChunkStream* stream) {
  if (stream == nullptr) return false;
  bool ok = stream->WriteUInt32Chunk(kFlagTag, &options_);
  ok = WriteName(*stream, kNameTag, sourceName_) && ok;
  ok = WriteName(*stream, kOffsetNameTag, offsetName_) && ok;
  return stream->WriteEnd() && ok;
}

bool PixelShuffleSource::CreateDeviceObjects() {
  if (!OpenSourceAndDeclaration(kLooped)) return false;
  sizeDiffers_ = frame_.width != targetWidth_ || frame_.height != targetHeight_;
  half_ = HalfExtentsFor(kStretch);
  // A tiled offset map is asked for as a power-of-two texture, so it wraps.
  offset_.reset(host->CreateSource(offsetName_.Get(), (options_ & kTileOffset) != 0 ? 1 : 0));
  lv::SourceInfo offsetFrame{};
  if (offset_ == nullptr || !offset_->GetInfo(&offsetFrame)) {
    ReleaseDeviceObjects();
    return false;
  }
  offset_->SetOption0((options_ & kOffsetLooped) != 0 ? 1 : 0);
  const bool tiled = (options_ & kTileOffset) != 0 && offsetFrame.width > 0 && offsetFrame.height > 0;
  tileScale_[0] = tiled ? float(frame_.width) / float(offsetFrame.width) : 1.0f;
  tileScale_[1] = tiled ? float(frame_.height) / float(offsetFrame.height) : 1.0f;
  twoSetDeclaration_ = gfx::Ref<gfx::VertexDeclaration>(CreateTwoSetDeclaration(host->GetDevice()));
  vertexShader_ = CompileVertexShader(host, kShader, "vs_main");
  const bool keyed = (options_ & kTransparentKey) != 0;
  pixelShader_ = CompilePixelShader(host, kShader, keyed ? "ps_shuffle_keyed" : "ps_shuffle");
  if (!twoSetDeclaration_ || !vertexShader_ || !pixelShader_) {
    ReleaseDeviceObjects();
    return false;
  }
  matWVP_ = FindConstant(vertexShader_.constants, "matWVP");
  keyColor_ = FindConstant(pixelShader_.constants, "KeyColor");
  keyDist_ = FindConstant(pixelShader_.constants, "KeyDist");
  strength_ = FindConstant(pixelShader_.constants, "Strength");
  offsetHandle_ = FindConstant(pixelShader_.constants, "Offset");
  return true;
}

void PixelShuffleSource::ReleaseEffectObjects() {
  offset_.reset();
  twoSetDeclaration_ = {};
  vertexShader_ = {};
  pixelShader_ = {};
}

bool PixelShuffleSource::Configure(lv::WindowHandle owner) {
  OffsetChooser chooser(host, offsetName_);
  return RunSettingsDialog(kDialog, owner, kCheckBoxes, nullptr, nullptr, &chooser);
}

void PixelShuffleSource::NoteOn() {
  AttachSource(kResetEachNote);
  if (offset_ != nullptr) {
    if ((options_ & kResetEachNote) != 0) offset_->Restart();
    offset_->Attach(velocity);
  }
  timeSinceNoteOn_ = 0;
  AdvanceSource(0);
  bool wrapped = false, newFrame = false;
  if (offset_ != nullptr) offset_->Advance(0, &wrapped, &newFrame);
}

void PixelShuffleSource::NoteOff() {
  EraseAndDetach(kEraseOnNoteOff);
  if (offset_ != nullptr) offset_->Detach();
}

void PixelShuffleSource::Render(uint32_t milliseconds) {
  timeSinceNoteOn_ += milliseconds;
  if (!AdvanceSource(milliseconds) || offset_ == nullptr || !vertexShader_ || !pixelShader_) return;
  bool wrapped = false, newFrame = false;
  offset_->Advance(milliseconds, &wrapped, &newFrame);
  gfx::Device* device = host->GetDevice();
  const gfx::SurfaceDesc* target = host->GetBackBufferDesc();
  if (device == nullptr || target == nullptr) return;

  BindStage(device, 0, source_->GetTexture(), gfx::Address::Clamp,
            SourceFilter((options_ & kStretch) != 0, sizeDiffers_));
  const bool tiled = (options_ & kTileOffset) != 0;
  BindStage(device, 1, offset_->GetTexture(), tiled ? gfx::Address::Wrap : gfx::Address::Clamp,
            tiled ? gfx::Filter::Point : gfx::Filter::Linear);

  const float* s = source_->GetTexelOffset();
  const float* o = offset_->GetTexelOffset();
  const float ou0 = o[0] * tileScale_[0], ov0 = o[1] * tileScale_[1];
  const float ou1 = o[2] * tileScale_[0], ov1 = o[3] * tileScale_[1];
  const float w = half_.width, h = half_.height;
  const ShuffleVertex vertices[4] = {
      {-w, +h, 1.0f, ou0, ov0, s[0], s[1]},
      {+w, +h, 1.0f, ou1, ov0, s[2], s[1]},
      {+w, -h, 1.0f, ou1, ov1, s[2], s[3]},
      {-w, -h, 1.0f, ou0, ov1, s[0], s[3]},
  };

  const d3dx::Matrix projection = TargetProjection(target->width, target->height);
  gfx::ConstantSink& constants = device->Constants();
  vertexShader_.constants->SetMatrix(constants, matWVP_, &projection.m[0][0]);
  if ((options_ & kTransparentKey) != 0) {
    const ColorKey key = KeyFromKnobs(params_);
    pixelShader_.constants->SetVector(constants, keyColor_, key.color);
    pixelShader_.constants->SetFloat(constants, keyDist_, key.distance);
  }
  const float strength[4] = {float(params_[4]) * 0.005f, float(params_[5]) * 0.005f, 0.0f, 0.0f};
  pixelShader_.constants->SetVector(constants, strength_, strength);
  const float shift[4] = {float(params_[6]) * 0.00125f, float(params_[7]) * 0.00125f, 0.0f, 0.0f};
  pixelShader_.constants->SetVector(constants, offsetHandle_, shift);

  SetBlending(device, true);
  BeginFlatDraw(device);
  device->SetVertexDeclaration(twoSetDeclaration_.get());
  device->SetVertexShader(vertexShader_.shader.get());
  device->SetPixelShader(pixelShader_.shader.get());
  device->DrawPrimitiveUP(gfx::PrimitiveType::TriangleFan, 2, vertices, sizeof(ShuffleVertex));
  // Both stages and both shaders go: a fixed-function patch drawn next must
  // not pick them up.
  EndFlatDraw(device, 2);
}

}  // namespace kestrix
