#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/gfx/shader_code.h"

namespace gfx {

// Registers hold what the constant table wrote in Direct3D 9's packing: one
// float4 per scalar, vector, matrix column (column_major) or matrix row
// (row_major), element after element. The front end lays each of those
// vectors out at `matrixStride` steps within an element, so filling the block
// is a copy of each register's used components to its place, with bools and
// ints converted from the float registers.
void FillUniformBlock(const ShaderCode& code, const float* registers, int registerCount, uint8_t* block) {
  for (const ShaderConstant& c : code.constants) {
    if (c.cls == ConstantClass::Object || c.cls == ConstantClass::Struct) continue;
    const bool matrix = c.cls == ConstantClass::MatrixRows || c.cls == ConstantClass::MatrixColumns;
    const int perElement = c.registerCount / std::max(1, c.elements);
    // Components a register holds: a column of `rows` values (column_major)
    // or a row of `columns` values (row_major, vectors, scalars).
    const int components = c.cls == ConstantClass::MatrixColumns ? c.rows : c.columns;
    for (int e = 0; e < c.elements; ++e) {
      for (int k = 0; k < perElement; ++k) {
        const int reg = c.registerIndex + e * perElement + k;
        if (reg < 0 || reg >= registerCount) continue;
        const float* value = registers + reg * 4;
        uint8_t* out = block + c.blockOffset + e * c.arrayStride + (matrix ? k * c.matrixStride : 0);
        for (int i = 0; i < components; ++i) {
          switch (c.type) {
            case ConstantType::Bool: {
              uint32_t b = value[i] != 0.0f ? 1u : 0u;
              std::memcpy(out + i * 4, &b, 4);
              break;
            }
            case ConstantType::Int: {
              int32_t n = static_cast<int32_t>(std::lround(value[i]));
              std::memcpy(out + i * 4, &n, 4);
              break;
            }
            default:
              std::memcpy(out + i * 4, &value[i], 4);
              break;
          }
        }
      }
    }
  }
}

}  // namespace gfx
