#pragma once
// An instance of a FreeFrame effect: it reads one video source, copies each
// frame into system memory, lets the FreeFrame instance process it in place,
// uploads the result and draws it over the whole current target. Numeric
// FreeFrame parameters are host parameters 0..1024; text parameters are
// saved with the patch and sent at instantiation.
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "freeframe/freeframe_abi.h"
#include "lv/plug.h"
#include "lv/source.h"
#include "platform/gfx/constant_table.h"
#include "platform/gfx/formats.h"
#include "platform/gfx/resources.h"
#include "platform/window/kit/source_name.h"

namespace ff {

class FreeFramePlug final : public lv::Plug {
 public:
  // Reads the parameter list of `entry`; nothing is instantiated yet.
  FreeFramePlug(PlugMainFn entry, const lv::ClassId& classId);
  ~FreeFramePlug() override;

  int32_t GetKind() override { return 1; }
  const lv::ClassId* GetClassId() override { return &classId_; }
  int32_t GetNumInputs() override { return 1; }
  // The one input answers whatever the index.
  const char* GetInputName(int32_t) override { return inputName_.Get(); }
  void SetInputName(int32_t, const char* name) override { inputName_.Set(name); }

  // Opens the source and instantiates the plug-in at the source's frame size.
  // Anything an earlier call left is released first, and a failure releases
  // everything this call made.
  bool CreateDeviceObjects() override;
  void ReleaseDeviceObjects() override;
  bool Configure(lv::WindowHandle owner) override;
  void NoteOn() override;
  void NoteOff() override;
  void Render(uint32_t milliseconds) override;
  bool KeepAfterNoteOff() override { return false; }
  bool Load(lv::ChunkStream* stream) override;
  bool Save(lv::ChunkStream* stream) override;

  int32_t GetNumParams() override { return int32_t(numeric_.size()); }
  bool IsParamEnabled(int32_t) override { return true; }
  const lv::ParamInfo* GetParamInfo(int32_t i) override;
  int32_t GetParam(int32_t i) override;
  // Safe from the user-interface thread while rendering: every call into the
  // plug-in instance is serialised. Values set before instantiation are kept
  // and sent when the instance is made.
  void SetParam(int32_t i, int32_t value) override;

  // The knob's text of host parameter i at `value` (at most 17 bytes).
  void FormatParam(int32_t i, int32_t value, char* text);

  // Text parameters in the plug-in's order.
  int32_t TextParamCount() const { return int32_t(text_.size()); }
  const char* TextParamName(int32_t i) const { return text_[size_t(i)].name.c_str(); }
  uint32_t TextParamIndex(int32_t i) const { return text_[size_t(i)].index; }
  const char* TextParamValue(int32_t i) const { return text_[size_t(i)].value.c_str(); }
  // True between a successful instantiation and ReleaseDeviceObjects.
  bool Instantiated() const;

 private:
  struct NumericParam {
    std::string name;
    uint32_t type = 0;
    uint32_t index = 0;
    float defaultValue = 0;
    float value = 0;       // last value set, sent again at instantiation
    bool changed = false;  // set by SetParam before there was an instance
    lv::ParamInfo row{};
  };
  struct TextParam {
    std::string name;
    uint32_t index = 0;
    std::string value;
  };

  const NumericParam* Numeric(int32_t i) const;
  // setParameter of a numeric value; instanceLock_ is held.
  void Send(uint32_t index, float value);
  void ReleaseTextures();
  bool MakeShaders();
  // Copies the source's frame into the system-memory texture; false when
  // nothing was copied this frame.
  bool CopySourceFrame(gfx::Texture* sourceTexture);
  void ProcessSystemFrame();
  void DrawResult();

  PlugMainFn entry_;
  lv::ClassId classId_;
  kit::SourceName inputName_;
  std::vector<NumericParam> numeric_;
  std::vector<TextParam> text_;

  // Guards the instance id and every call that names it; a leaf (lock order:
  // platform/gfx/device_lock.h).
  mutable std::mutex instanceLock_;
  Word instance_ = 0;
  bool instantiated_ = false;

  lv::Source* source_ = nullptr;  // owned
  lv::SourceInfo info_{};
  gfx::Format format_ = gfx::Format::A8R8G8B8;
  gfx::Ref<gfx::Texture> targetTexture_;  // DEFAULT render target, drawn
  gfx::Ref<gfx::Texture> systemTexture_;  // SYSTEMMEM, processed in place
  std::vector<uint8_t> packed_;           // for a system surface with padded rows
  gfx::Ref<gfx::VertexDeclaration> declaration_;
  gfx::Ref<gfx::VertexShader> vertexShader_;
  gfx::Ref<gfx::PixelShader> pixelShader_;
  std::shared_ptr<gfx::ConstantTable> vertexConstants_;
  std::shared_ptr<gfx::ConstantTable> pixelConstants_;
  gfx::ConstantHandle matWVP_{};
  gfx::ConstantHandle color_{};
};

}  // namespace ff
