#include "effects_3d/display_spectrum.h"

#include <algorithm>
#include <numbers>

#include "module_dialogs.h"
#include "draw_states.h"
#include "platform/gfx/device.h"
#include "platform/window/dialog.h"
#include "platform/window/kit/dialog_helpers.h"
#include "platform/window/messages.h"

namespace kestrix {
namespace {

constexpr uint32_t kShader = 147;
constexpr int kDialog = 199;
constexpr uint32_t kVertices = DisplaySpectrum::kRows * DisplaySpectrum::kColumns;
constexpr uint32_t kTriangles = (DisplaySpectrum::kRows - 1) * (DisplaySpectrum::kColumns - 1) * 2;
constexpr float kPi = std::numbers::pi_v<float>;

const lv::ParamInfo kParams[] = {
    {0, 720, 0, 1, lv::ChunkTag("SPIN"), "Spin", nullptr},
    {0, 180, 0, 0, lv::ChunkTag("TILT"), "Tilt", nullptr},
    {0, 200, 0, 0, lv::ChunkTag("DIST"), "Dist", nullptr},
    {0, 100, 0, 0, lv::ChunkTag("HGAN"), "HeightGain", nullptr},
    {0, 300, 0, 0, lv::ChunkTag("CGAN"), "ColorGain", nullptr},
    {0, 255, 255, 0, lv::ChunkTag("ALPH"), "Alpha", nullptr},
};

constexpr kit::OptionCheckBox kCheckBoxes[] = {
    {1018, DisplaySpectrum::kEraseOnNoteOff},
    {1023, DisplaySpectrum::kResetEachNote},
    {1022, DisplaySpectrum::kClearFrame},
    {1024, DisplaySpectrum::kClearDepth},
};

// The grid's x and y on stream 0, each vertex's height on stream 1.
const gfx::VertexElement kLayout[] = {
    {0, 0, gfx::DeclType::Float2, gfx::DeclUsage::Position, 0},
    {1, 0, gfx::DeclType::Float1, gfx::DeclUsage::Position, 1},
    gfx::kDeclEnd,
};

// Columns per group of 16 take this many consecutive values each, times the
// gain: the low end of the spectrum gets a column per value.
constexpr int kGroupWidth[8] = {1, 1, 1, 2, 4, 8, 16, 31};
constexpr float kGroupGain[8] = {20, 20, 20, 10, 5, 2.5f, 1, 0.5f};

template <class T>
bool Lock(T& buffer, void** data) {
  return gfx::Succeeded(buffer->Lock(0, 0, data, gfx::lock::None));
}

}  // namespace

const lv::ParamInfo* DisplaySpectrum::GetParamInfo(int32_t i) { return &kParams[i]; }

void DisplaySpectrum::ReduceSpectrum(const float* spectrum, float* row) {
  int value = 0;
  for (int g = 0; g < 8; ++g) {
    for (int c = 0; c < 16; ++c) {
      float sum = 0;
      for (int i = 0; i < kGroupWidth[g]; ++i) sum += spectrum != nullptr ? spectrum[value + i] : 0.0f;
      value += kGroupWidth[g];
      row[g * 16 + c] = sum * kGroupGain[g];
    }
  }
}

void DisplaySpectrum::ClearHistory() {
  for (auto& row : history_) std::fill(std::begin(row), std::end(row), 0.0f);
  rowIndex_ = 0;
}

bool DisplaySpectrum::CreateDeviceObjects() {
  ReleaseDeviceObjects();
  if (host == nullptr) return false;
  gfx::Device* device = host->GetDevice();
  if (device == nullptr) return false;
  // Without a source name the landscape runs alone.
  if (sourceName_.Get() != nullptr) {
    source_ = host->CreateSource(sourceName_.Get(), 0);
    if (source_ == nullptr) return false;
    source_->SetOption0(1);
    source_->GetInfo(&frame_);
  }
  ClearHistory();

  gfx::VertexDeclaration* declaration = nullptr;
  if (gfx::Succeeded(device->CreateVertexDeclaration(kLayout, &declaration))) {
    declaration_ = gfx::Ref<gfx::VertexDeclaration>(declaration);
  }
  gfx::VertexBuffer* grid = nullptr;
  gfx::VertexBuffer* heights = nullptr;
  gfx::IndexBuffer* indices = nullptr;
  if (gfx::Succeeded(device->CreateVertexBuffer(kVertices * 8, gfx::usage::WriteOnly, gfx::Pool::Default, &grid))) {
    grid_ = gfx::Ref<gfx::VertexBuffer>(grid);
  }
  if (gfx::Succeeded(device->CreateVertexBuffer(kVertices * 4, gfx::usage::Dynamic | gfx::usage::WriteOnly,
                                                gfx::Pool::Default, &heights))) {
    heights_ = gfx::Ref<gfx::VertexBuffer>(heights);
  }
  if (gfx::Succeeded(device->CreateIndexBuffer(kTriangles * 3 * 2, gfx::usage::WriteOnly, gfx::Format::Index16,
                                               gfx::Pool::Default, &indices))) {
    indices_ = gfx::Ref<gfx::IndexBuffer>(indices);
  }
  void* gridData = nullptr;
  void* indexData = nullptr;
  if (!declaration_ || !grid_ || !heights_ || !indices_ || !Lock(grid_, &gridData)) {
    ReleaseDeviceObjects();
    return false;
  }
  auto* xy = static_cast<float*>(gridData);
  for (int j = 0; j < kRows; ++j) {
    for (int k = 0; k < kColumns; ++k) {
      *xy++ = float(k) / kColumns - 0.5f;
      *xy++ = 0.5f - float(j) / kRows;
    }
  }
  grid_->Unlock();
  if (!Lock(indices_, &indexData)) {
    ReleaseDeviceObjects();
    return false;
  }
  auto* index = static_cast<uint16_t*>(indexData);
  for (int j = 0; j + 1 < kRows; ++j) {
    for (int k = 0; k + 1 < kColumns; ++k) {
      const int c = j * kColumns + k;
      for (int i : {c, c + 1, c + kColumns + 1, c, c + kColumns + 1, c + kColumns}) *index++ = uint16_t(i);
    }
  }
  indices_->Unlock();

  if (!CompileShaders(kShader, "vs_main", "ps_main", vertexShader_, pixelShader_)) return false;
  matWVP_ = FindConstant(vertexShader_.constants, "matWVP");
  colorHandle_ = FindConstant(vertexShader_.constants, "Color");
  gain_ = FindConstant(vertexShader_.constants, "Gain");
  return true;
}

void DisplaySpectrum::ReleaseEffectObjects() {
  grid_ = {};
  heights_ = {};
  indices_ = {};
  vertexShader_ = {};
  pixelShader_ = {};
}

bool DisplaySpectrum::Configure(lv::WindowHandle owner) {
  // Only the four check boxes: this dialog has no source chooser.
  const std::intptr_t result = window::RunModalDialog(
      ModuleDialogs(), kDialog, static_cast<window::WindowHandle>(owner),
      [this](window::Dialog& dialog, window::MessageId message, window::WParam w, window::LParam) -> std::intptr_t {
        switch (message) {
          case window::msg::kInitDialog:
            for (const auto& box : kCheckBoxes) {
              dialog.CheckButton(box.controlId,
                                 (options_ & box.bit) != 0 ? window::CheckState::kChecked : window::CheckState::kUnchecked);
            }
            return 1;
          case window::msg::kCommand:
            if (window::CommandId(w) == window::kIdOk) {
              for (const auto& box : kCheckBoxes) {
                options_ = kit::DialogIsChecked(dialog, box.controlId) ? (options_ | box.bit) : (options_ & ~box.bit);
              }
              dialog.End(1);
              return 1;
            }
            if (window::CommandId(w) == window::kIdCancel) {
              dialog.End(0);
              return 1;
            }
            return 0;
          case window::msg::kClose:
            dialog.End(0);
            return 1;
        }
        return 0;
      });
  return result == 1;
}

void DisplaySpectrum::NoteOn() {
  if ((options_ & kResetEachNote) != 0) {
    if (source_ != nullptr) source_->Restart();
    ClearHistory();
  }
  if (source_ != nullptr) source_->Attach(velocity);
  AdvanceSource(0);
}

void DisplaySpectrum::NoteOff() { EraseAndDetach(kEraseOnNoteOff); }

void DisplaySpectrum::Render(uint32_t milliseconds) {
  if (!vertexShader_ || !pixelShader_) return;
  gfx::Device* device = host->GetDevice();
  if (device == nullptr) return;
  const uint32_t clearFlags =
      ((options_ & kClearFrame) != 0 ? gfx::clear::Target : 0) | ((options_ & kClearDepth) != 0 ? gfx::clear::ZBuffer : 0);
  if (clearFlags != 0) device->Clear(0, nullptr, clearFlags, 0x00000000, 1.0f, 0);
  if (source_ != nullptr) {
    AdvanceSource(milliseconds);
    BindStage(device, 0, source_->GetTexture(), gfx::Address::Clamp, gfx::Filter::Linear);
  }
  ReduceSpectrum(host->GetSpectrum(), history_[rowIndex_]);
  rowIndex_ = (rowIndex_ + 1) % kRows;
  void* data = nullptr;
  if (Lock(heights_, &data)) {
    // Oldest first: the last grid row, nearest the viewer, is the newest.
    auto* out = static_cast<float*>(data);
    for (int r = 0; r < kRows; ++r) out = std::copy_n(history_[(rowIndex_ + r) % kRows], kColumns, out);
    heights_->Unlock();
    Draw(device);
  }
  if (source_ != nullptr) device->SetTexture(0, nullptr);
}

void DisplaySpectrum::Draw(gfx::Device* device) {
  const d3dx::Matrix world = d3dx::MatrixRotationY(float(params_[kSpin]) * kPi / 360) *
                             d3dx::MatrixRotationX(-float(params_[kTilt]) * kPi / 360) *
                             d3dx::MatrixTranslation(0, 0, float(params_[kDist]) / 100);
  const gfx::SurfaceDesc* target = host->GetBackBufferDesc();
  const float aspect = target != nullptr && target->height != 0 ? float(target->width) / float(target->height) : 1.0f;
  const d3dx::Matrix wvp = world * d3dx::MatrixPerspectiveFovLH(kPi / 4, aspect, 0.05f, 10.0f);
  const float color[4] = {1, 1, 1, float(params_[kAlpha]) / 255.0f};
  const float gain[4] = {float(params_[kHeightGain]) * 0.02f, float(params_[kColorGain]) * 0.02f, 0, 0};
  gfx::ConstantSink& constants = device->Constants();
  vertexShader_.constants->SetMatrix(constants, matWVP_, &wvp.m[0][0]);
  vertexShader_.constants->SetVector(constants, colorHandle_, color);
  vertexShader_.constants->SetVector(constants, gain_, gain);

  device->SetRenderState(gfx::RenderState::AlphaBlendEnable, params_[kAlpha] < 255 ? 1 : 0);
  device->SetRenderState(gfx::RenderState::SrcBlend, uint32_t(gfx::Blend::SrcAlpha));
  device->SetRenderState(gfx::RenderState::DestBlend, uint32_t(gfx::Blend::InvSrcAlpha));
  device->SetRenderState(gfx::RenderState::CullMode, uint32_t(gfx::Cull::None));
  device->SetVertexDeclaration(declaration_.get());
  device->SetVertexShader(vertexShader_.shader.get());
  device->SetPixelShader(pixelShader_.shader.get());
  device->SetStreamSource(0, grid_.get(), 0, 8);
  device->SetStreamSource(1, heights_.get(), 0, 4);
  device->SetIndices(indices_.get());
  device->DrawIndexedPrimitive(gfx::PrimitiveType::TriangleList, 0, 0, kVertices, 0, kTriangles);

  device->SetRenderState(gfx::RenderState::FillMode, uint32_t(gfx::FillMode::Solid));
  device->SetVertexShader(nullptr);
  device->SetPixelShader(nullptr);
  device->SetStreamSource(0, nullptr, 0, 0);
  device->SetStreamSource(1, nullptr, 0, 0);
  device->SetIndices(nullptr);
  device->SetRenderState(gfx::RenderState::AlphaBlendEnable, 0);
}

}  // namespace kestrix
