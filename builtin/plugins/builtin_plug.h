#pragma once
// What every built-in drawing plug-in holds: the kind value and class id its
// descriptor gives (PlugClass::kKind and kClassId), its option word, and the
// device objects it draws with. It only fills operations the plug-in
// contract declares, so the classes keep the contract's table as it is.
#include <cstdint>

#include "lv/plug.h"
#include "platform/gfx/resources.h"
#include "plugins/plug_resources.h"

namespace builtin {

template <class PlugClass>
class BuiltinPlug : public lv::Plug {
 public:
  int32_t GetKind() override { return PlugClass::kKind; }
  const lv::ClassId* GetClassId() override { return &PlugClass::kClassId; }
  // Frees the declaration and the shaders; a class with more device objects
  // frees those too.
  void ReleaseDeviceObjects() override { ReleaseDrawingObjects(); }

  uint32_t Options() const { return options_; }
  void SetOptions(uint32_t options) { options_ = options; }

 protected:
  explicit BuiltinPlug(uint32_t options) : options_(options) {}

  void ReleaseDrawingObjects() {
    declaration_ = {};
    vertexShader_ = {};
    pixelShader_ = {};
  }

  uint32_t options_;
  gfx::Ref<gfx::VertexDeclaration> declaration_;
  VertexShaderObjects vertexShader_;
  PixelShaderObjects pixelShader_;  // empty where the fixed-function stage does the pixel work
};

}  // namespace builtin
