#include "generators/string_theory.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>

#include "animated_value.h"
#include "option_boxes_dialog.h"
#include "platform/d3dx/math.h"
#include "platform/gfx/device.h"
#include "platform/window/dialog.h"
#include "platform/window/kit/dialog_helpers.h"
#include "platform/window/messages.h"

namespace kestrix {
namespace {

constexpr uint32_t kShader = 148;
constexpr int kDialog = 251;
constexpr int kEraseBox = 1018;
constexpr int kSteps = 256;                  // segments around a loop
constexpr int kVertices = 2 * (kSteps + 1);  // 514
constexpr float kPi = std::numbers::pi_v<float>;

const lv::ParamInfo kParams[] = {
    {0, 255, 0, 0, lv::ChunkTag("ERAS"), "Erase", nullptr},
    {0, 255, 0, 0, lv::ChunkTag("WIDE"), "Width", nullptr},
    {0, 255, 0, 0, lv::ChunkTag("DIAM"), "Diameter", nullptr},
    {0, 255, 0, 0, lv::ChunkTag("GROW"), "Growth", nullptr},
    {0, 255, 0, 0, lv::ChunkTag("SPED"), "Speed", nullptr},
    {0, 255, 0, 0, lv::ChunkTag("AMPL"), "Amplitude", nullptr},
    {0, 200, 0, 0, lv::ChunkTag("LIFE"), "LifeSpan", nullptr},
    {0, 200, 0, 0, lv::ChunkTag("REPL"), "BirthRate", nullptr},
};

// A loop's opacity at `age` ms: it fades in over the first fifth of its life
// and out over the last fifth.
float Opacity(uint32_t age, uint32_t life) {
  const uint32_t fade = life / 5;
  // Lives shorter than five milliseconds have no fade to divide by.
  if (fade == 0) return age <= life ? 1.0f : 0.0f;
  float opacity = 1.0f;
  if (age < fade) {
    opacity = float(age) / float(fade);
  } else if (age > life - fade) {
    opacity = 1.0f - float(age - (life - fade)) / float(fade);
  }
  return std::clamp(opacity, 0.0f, 1.0f);
}

}  // namespace

const lv::ParamInfo* StringTheory::GetParamInfo(int32_t i) { return &kParams[i]; }

uint32_t StringTheory::BirthInterval() const {
  // A rate above the range would give no interval and births without end.
  return uint32_t(std::max(5025 - 25 * params_[kBirthRate], 1));
}

void StringTheory::Birth() {
  Loop loop;
  loop.birth = elapsed_;
  loop.life = uint32_t(150 * std::max(params_[kLifeSpan], 0));
  loop.x = 320.0f * RandomUnit() - 160.0f;
  loop.y = 200.0f * RandomUnit() - 100.0f;
  loop.direction = 2.0f * kPi * RandomUnit() - kPi;
  loop.width = 0.1f * float(params_[kWidth]);
  const float speed = float(params_[kSpeed]);
  loop.speed = 0.01f * speed + RandomUnit() * 0.01f * speed;
  const float diameter = float(params_[kDiameter]);
  loop.size = diameter / 3.0f + RandomUnit() * (diameter - diameter / 3.0f);
  loop.growth = 0.3f * float(params_[kGrowth]);
  loop.amplitude = float(params_[kAmplitude]) / 16.0f;
  loop.amplitudeGrowth = 0.0025f * float(params_[kGrowth]);
  for (Wave& wave : loop.waves) {
    wave.frequency = float(std::rand() % 10);
    wave.timeRate = 12.0f * RandomUnit() - 6.0f;
    wave.amplitude = 4.9f * RandomUnit() + 0.1f;
  }
  loops_.push_back(loop);
}

bool StringTheory::CreateDeviceObjects() {
  // A failed earlier attempt is never called back by the host: start clean.
  ReleaseDeviceObjects();
  gfx::Device* device = host != nullptr ? host->GetDevice() : nullptr;
  if (device == nullptr) return false;
  const gfx::VertexElement elements[] = {{0, 0, gfx::DeclType::Float2, gfx::DeclUsage::Position, 0}, gfx::kDeclEnd};
  float strip[kVertices][2];
  for (int i = 0; i <= kSteps; ++i) {
    const float angle = 2.0f * kPi * float(i) / float(kSteps);
    strip[2 * i][0] = strip[2 * i + 1][0] = angle;
    strip[2 * i][1] = -0.5f;
    strip[2 * i + 1][1] = 0.5f;
  }
  bool made = gfx::Succeeded(device->CreateVertexDeclaration(elements, declaration_.put())) &&
              gfx::Succeeded(device->CreateVertexBuffer(sizeof strip, gfx::usage::WriteOnly, gfx::Pool::Default,
                                                        vertices_.put()));
  if (made) {
    void* locked = nullptr;
    made = gfx::Succeeded(vertices_->Lock(0, sizeof strip, &locked, 0)) && locked != nullptr;
    if (made) {
      std::memcpy(locked, strip, sizeof strip);
      vertices_->Unlock();
    }
  }
  if (made) {
    loopShader_ = CompileVertexShader(host, kShader, "vs_main");
    clearShader_ = CompileVertexShader(host, kShader, "vs_clear");
    pixelShader_ = CompilePixelShader(host, kShader, "ps_main");
  }
  if (!made || !loopShader_ || !clearShader_ || !pixelShader_) {
    ReleaseDeviceObjects();
    return false;
  }
  matWVP_ = FindConstant(loopShader_.constants, "matWVP");
  color_ = FindConstant(loopShader_.constants, "Color");
  width_ = FindConstant(loopShader_.constants, "Width");
  time_ = FindConstant(loopShader_.constants, "Time");
  center_ = FindConstant(loopShader_.constants, "Center");
  size_ = FindConstant(loopShader_.constants, "Size");
  params1_ = FindConstant(loopShader_.constants, "Params1");
  params2_ = FindConstant(loopShader_.constants, "Params2");
  params3_ = FindConstant(loopShader_.constants, "Params3");
  clearMatWVP_ = FindConstant(clearShader_.constants, "matWVP");
  clearColor_ = FindConstant(clearShader_.constants, "Color");
  return true;
}

void StringTheory::ReleaseDeviceObjects() {
  declaration_ = {};
  vertices_ = {};
  loopShader_ = {};
  clearShader_ = {};
  pixelShader_ = {};
}

bool StringTheory::Configure(lv::WindowHandle owner) {
  const OptionBox erase[] = {{kEraseBox, kEraseOnNoteOff}};
  return RunOptionBoxesDialog(owner, kDialog, erase, options_);
}

void StringTheory::NoteOn() {
  elapsed_ = 0;
  birthAccumulator_ = 0;
  keepPlaying_ = true;
  letGo_ = false;
  loops_.clear();
  Birth();
}

bool StringTheory::KeepAfterNoteOff() {
  // The host asks before each frame while the key is up and nothing else
  // keeps the note: that frame gives no birth, so the note ends when its last
  // loop has died. A frame drawn without asking (the key down, or the host's
  // hold keeping the note) gives birth as usual.
  letGo_ = true;
  return keepPlaying_;
}

void StringTheory::NoteOff() {
  if ((options_ & kEraseOnNoteOff) != 0 && host != nullptr) {
    if (gfx::Device* device = host->GetDevice()) device->Clear(0, nullptr, gfx::clear::Target, 0xFF000000, 1.0f, 0);
  }
  loops_.clear();
}

void StringTheory::Render(uint32_t milliseconds) {
  elapsed_ += milliseconds;
  birthAccumulator_ += milliseconds;
  const uint32_t interval = BirthInterval();
  const bool letGo = letGo_;
  letGo_ = false;
  while (birthAccumulator_ >= interval) {
    birthAccumulator_ -= interval;
    if (!letGo) Birth();
  }

  gfx::Device* device = host != nullptr ? host->GetDevice() : nullptr;
  const bool drawable = device != nullptr && loopShader_ && clearShader_ && pixelShader_;
  if (drawable) {
    device->SetRenderState(gfx::RenderState::AlphaBlendEnable, 1);
    device->SetRenderState(gfx::RenderState::SrcBlend, uint32_t(gfx::Blend::SrcAlpha));
    device->SetRenderState(gfx::RenderState::DestBlend, uint32_t(gfx::Blend::InvSrcAlpha));
    device->SetRenderState(gfx::RenderState::CullMode, uint32_t(gfx::Cull::None));
    device->SetRenderState(gfx::RenderState::ZWriteEnable, 0);
    device->SetVertexDeclaration(declaration_.get());
  }
  gfx::ConstantSink* constants = drawable ? &device->Constants() : nullptr;

  const int32_t erase = params_[kErase];
  if (drawable && erase >= 255) {
    device->Clear(0, nullptr, gfx::clear::Target, 0xFF000000, 1.0f, 0);
  } else if (drawable && erase > 0) {
    device->SetRenderState(gfx::RenderState::ZEnable, 0);
    device->SetVertexShader(clearShader_.shader.get());
    device->SetPixelShader(pixelShader_.shader.get());
    const d3dx::Matrix ortho = d3dx::MatrixOrthoLH(2.0f, 2.0f, 0.0f, 2.0f);
    const float black[4] = {0.0f, 0.0f, 0.0f, float(erase) / 255.0f};
    clearShader_.constants->SetMatrix(*constants, clearMatWVP_, &ortho.m[0][0]);
    clearShader_.constants->SetVector(*constants, clearColor_, black);
    const float quad[4][2] = {{-1.0f, -1.0f}, {1.0f, -1.0f}, {1.0f, 1.0f}, {-1.0f, 1.0f}};
    device->DrawPrimitiveUP(gfx::PrimitiveType::TriangleFan, 2, quad, sizeof quad[0]);
    device->SetRenderState(gfx::RenderState::ZEnable, 1);
  }

  if (drawable) {
    device->SetVertexShader(loopShader_.shader.get());
    device->SetPixelShader(pixelShader_.shader.get());
    device->SetStreamSource(0, vertices_.get(), 0, 2 * sizeof(float));
  }
  const d3dx::Matrix ortho = d3dx::MatrixOrthoLH(266.66667f, 200.0f, 0.0f, 2.0f);
  for (auto it = loops_.begin(); it != loops_.end();) {
    Loop& loop = *it;
    const uint32_t age = elapsed_ - loop.birth;
    if (drawable) {
      const gfx::ConstantTable& table = *loopShader_.constants;
      const float color[4] = {1.0f, 1.0f, 1.0f, Opacity(age, loop.life)};
      table.SetMatrix(*constants, matWVP_, &ortho.m[0][0]);
      table.SetVector(*constants, color_, color);
      table.SetFloat(*constants, width_, loop.width);
      table.SetFloat(*constants, time_, float(age) * 0.001f);
      const gfx::ConstantHandle waveHandles[3] = {params1_, params2_, params3_};
      for (int k = 0; k < 3; ++k) {
        const Wave& wave = loop.waves[k];
        const float values[4] = {wave.frequency, wave.timeRate, wave.amplitude * loop.amplitude * loop.size / 128.0f,
                                 0.0f};
        table.SetVector(*constants, waveHandles[k], values);
      }
      const float center[4] = {loop.x, loop.y, 0.0f, 0.0f};
      table.SetVector(*constants, center_, center);
      table.SetFloat(*constants, size_, loop.size);
    }
    const float drift = float(milliseconds) * loop.speed * 0.05f;
    loop.x += drift * std::sin(loop.direction);
    loop.y += drift * std::cos(loop.direction);
    if (drawable) device->DrawPrimitive(gfx::PrimitiveType::TriangleStrip, 0, kVertices - 2);
    loop.size += float(milliseconds) * 0.001f * loop.growth;
    loop.amplitude += float(milliseconds) * 0.001f * loop.amplitudeGrowth;
    if (loop.birth + loop.life < elapsed_) {
      it = loops_.erase(it);
    } else {
      ++it;
    }
  }
  if (loops_.empty()) keepPlaying_ = false;

  if (drawable) {
    device->SetStreamSource(0, nullptr, 0, 0);
    device->SetVertexShader(nullptr);
    device->SetPixelShader(nullptr);
    device->SetRenderState(gfx::RenderState::ZWriteEnable, 1);
    device->SetRenderState(gfx::RenderState::AlphaBlendEnable, 0);
  }
}

}  // namespace kestrix
