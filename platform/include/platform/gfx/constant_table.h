#pragma once
// A compiled shader's constant table: finds its globals by name and writes
// their values into the device's constant registers, packed as the Direct3D 9
// helper library packs them. Registers are device state, so a value written
// through one table is seen by every shader of the stage that reads the same
// register.
#include <cstdint>
#include <memory>
#include <string_view>

#include "platform/gfx/shader_code.h"

namespace gfx {

// Where the table writes: the device's register file of one stage.
class ConstantSink {
 public:
  virtual ~ConstantSink() = default;
  virtual void SetShaderConstantF(ShaderStage stage, int startRegister, const float* data, int count4) = 0;
};

// Names one constant of one table; the default handle names nothing, and
// every setter given it does nothing and returns false.
struct ConstantHandle {
  int index = -1;
  explicit operator bool() const { return index >= 0; }
};

class ConstantTable {
 public:
  explicit ConstantTable(std::shared_ptr<const ShaderCode> code);

  ShaderStage Stage() const { return code_->stage; }
  int ConstantCount() const { return static_cast<int>(code_->constants.size()); }

  ConstantHandle GetConstantByName(std::string_view name) const;
  // nullptr for a handle that names nothing.
  const ShaderConstant* GetConstantDesc(ConstantHandle handle) const;

  // A row-major 4x4 matrix (m[row * 4 + column]) as the maths library gives
  // it; transposed into a column-major member, copied into a row_major one.
  bool SetMatrix(ConstantSink& sink, ConstantHandle handle, const float* matrix16) const;
  bool SetMatrixArray(ConstantSink& sink, ConstantHandle handle, const float* matrices16, int count) const;
  bool SetVector(ConstantSink& sink, ConstantHandle handle, const float* vector4) const;
  bool SetVectorArray(ConstantSink& sink, ConstantHandle handle, const float* vectors4, int count) const;
  bool SetFloat(ConstantSink& sink, ConstantHandle handle, float value) const;
  // Values in the constant's own order: element by element, each matrix row
  // by row; what the constant does not hold is ignored.
  bool SetFloatArray(ConstantSink& sink, ConstantHandle handle, const float* values, int count) const;
  bool SetInt(ConstantSink& sink, ConstantHandle handle, int value) const;
  bool SetBool(ConstantSink& sink, ConstantHandle handle, bool value) const;

 private:
  const ShaderConstant* Numeric(ConstantHandle handle) const;
  void Write(ConstantSink& sink, const ShaderConstant& constant, int firstRegister, const float* data, int count4) const;

  std::shared_ptr<const ShaderCode> code_;
};

}  // namespace gfx
