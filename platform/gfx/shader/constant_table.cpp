#include "platform/gfx/constant_table.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace gfx {
namespace {

bool IsMatrix(const ShaderConstant& c) {
  return c.cls == ConstantClass::MatrixRows || c.cls == ConstantClass::MatrixColumns;
}

int RegistersPerElement(const ShaderConstant& c) { return c.registerCount / std::max(1, c.elements); }

// The value a register of this constant's type holds for `value`.
float Converted(const ShaderConstant& c, float value) {
  if (c.type == ConstantType::Bool) return value != 0.0f ? 1.0f : 0.0f;
  if (c.type == ConstantType::Int) return static_cast<float>(std::lround(value));
  return value;
}

}  // namespace

ConstantTable::ConstantTable(std::shared_ptr<const ShaderCode> code) : code_(std::move(code)) {}

ConstantHandle ConstantTable::GetConstantByName(std::string_view name) const {
  for (size_t i = 0; i < code_->constants.size(); ++i)
    if (code_->constants[i].name == name) return ConstantHandle{static_cast<int>(i)};
  return {};
}

const ShaderConstant* ConstantTable::GetConstantDesc(ConstantHandle handle) const {
  if (handle.index < 0 || handle.index >= static_cast<int>(code_->constants.size())) return nullptr;
  return &code_->constants[handle.index];
}

const ShaderConstant* ConstantTable::Numeric(ConstantHandle handle) const {
  const ShaderConstant* c = GetConstantDesc(handle);
  if (!c || c->cls == ConstantClass::Object || c->cls == ConstantClass::Struct) return nullptr;
  return c;
}

void ConstantTable::Write(ConstantSink& sink, const ShaderConstant& c, int firstRegister, const float* data,
                          int count4) const {
  // Never past the constant's own registers: the neighbours belong to others.
  const int end = std::min(c.registerIndex + c.registerCount, firstRegister + count4);
  if (end > firstRegister) sink.SetShaderConstantF(code_->stage, firstRegister, data, end - firstRegister);
}

bool ConstantTable::SetMatrix(ConstantSink& sink, ConstantHandle handle, const float* m) const {
  return SetMatrixArray(sink, handle, m, 1);
}

bool ConstantTable::SetMatrixArray(ConstantSink& sink, ConstantHandle handle, const float* matrices, int count) const {
  const ShaderConstant* c = Numeric(handle);
  if (!c || !IsMatrix(*c) || count <= 0) return false;
  const int perElement = RegistersPerElement(*c);
  const int elements = std::min(count, c->elements);
  std::vector<float> regs(static_cast<size_t>(elements * perElement) * 4, 0.0f);
  for (int e = 0; e < elements; ++e) {
    const float* m = matrices + e * 16;
    for (int k = 0; k < perElement; ++k)
      for (int i = 0; i < 4; ++i) {
        // column_major: register k is column k; row_major: row k.
        float v = c->cls == ConstantClass::MatrixColumns ? m[i * 4 + k] : m[k * 4 + i];
        regs[(e * perElement + k) * 4 + i] = Converted(*c, v);
      }
  }
  Write(sink, *c, c->registerIndex, regs.data(), elements * perElement);
  return true;
}

bool ConstantTable::SetVector(ConstantSink& sink, ConstantHandle handle, const float* v) const {
  return SetVectorArray(sink, handle, v, 1);
}

bool ConstantTable::SetVectorArray(ConstantSink& sink, ConstantHandle handle, const float* vectors, int count) const {
  const ShaderConstant* c = Numeric(handle);
  if (!c || IsMatrix(*c) || count <= 0) return false;
  const int elements = std::min(count, c->elements);
  std::vector<float> regs(static_cast<size_t>(elements) * 4);
  for (int i = 0; i < elements * 4; ++i) regs[i] = Converted(*c, vectors[i]);
  Write(sink, *c, c->registerIndex, regs.data(), elements);
  return true;
}

bool ConstantTable::SetFloat(ConstantSink& sink, ConstantHandle handle, float value) const {
  return SetFloatArray(sink, handle, &value, 1);
}

bool ConstantTable::SetFloatArray(ConstantSink& sink, ConstantHandle handle, const float* values, int count) const {
  const ShaderConstant* c = Numeric(handle);
  if (!c || count <= 0) return false;
  const int perElement = RegistersPerElement(*c);
  const int perElementValues = c->rows * c->columns;
  const int elements = std::min(c->elements, (count + perElementValues - 1) / perElementValues);
  std::vector<float> regs(static_cast<size_t>(elements * perElement) * 4, 0.0f);
  int touched = 0;
  for (int e = 0; e < elements; ++e)
    for (int row = 0; row < c->rows; ++row)
      for (int col = 0; col < c->columns; ++col) {
        const int source = e * perElementValues + row * c->columns + col;
        if (source >= count) continue;
        // Scalars, vectors and row_major rows fill a register a row at a
        // time; column_major matrices a column at a time.
        const int k = c->cls == ConstantClass::MatrixColumns ? col : row;
        const int component = c->cls == ConstantClass::MatrixColumns ? row : col;
        const int reg = e * perElement + k;
        regs[reg * 4 + component] = Converted(*c, values[source]);
        touched = std::max(touched, reg + 1);
      }
  Write(sink, *c, c->registerIndex, regs.data(), touched);
  return true;
}

bool ConstantTable::SetInt(ConstantSink& sink, ConstantHandle handle, int value) const {
  float v = static_cast<float>(value);
  return SetFloatArray(sink, handle, &v, 1);
}

bool ConstantTable::SetBool(ConstantSink& sink, ConstantHandle handle, bool value) const {
  float v = value ? 1.0f : 0.0f;
  return SetFloatArray(sink, handle, &v, 1);
}

}  // namespace gfx
