#pragma once
// The D3DX shape meshes on the CPU: position and normal per vertex (24
// bytes, the layout of D3DFVF_XYZ | D3DFVF_NORMAL), 16-bit indices, three per
// face. Faces are wound clockwise seen from outside, Direct3D's front faces.
// Each function returns nothing for arguments D3DX refuses, or when the mesh
// would need more vertices than 16-bit indices reach.
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "platform/d3dx/math.h"

namespace d3dx {

struct MeshVertex {
  Vector3 position;
  Vector3 normal;
};
static_assert(sizeof(MeshVertex) == 24);

struct MeshData {
  static constexpr uint32_t kBytesPerVertex = sizeof(MeshVertex);

  std::vector<MeshVertex> vertices;
  std::vector<uint16_t> indices;

  uint32_t VertexCount() const { return uint32_t(vertices.size()); }
  uint32_t FaceCount() const { return uint32_t(indices.size() / 3); }
  uint32_t BytesPerVertex() const { return kBytesPerVertex; }
  // What the vertex and index buffers are filled with.
  std::span<const uint8_t> VertexBytes() const {
    return {reinterpret_cast<const uint8_t*>(vertices.data()), vertices.size() * sizeof(MeshVertex)};
  }
  std::span<const uint8_t> IndexBytes() const {
    return {reinterpret_cast<const uint8_t*>(indices.data()), indices.size() * sizeof(uint16_t)};
  }
};

// Centred on the origin: width along x, height along y, depth along z.
// 24 vertices (4 per face, faces -x, +x, -y, +y, -z, +z) and 12 faces.
std::optional<MeshData> CreateBox(float width, float height, float depth);

// Axis along z, poles at ±radius. slices ≥ 2, stacks ≥ 2:
// slices × (stacks − 1) + 2 vertices, 2 × slices × (stacks − 1) faces.
std::optional<MeshData> CreateSphere(float radius, uint32_t slices, uint32_t stacks);

// Axis along z, radius1 at −length/2 and radius2 at +length/2, both ends
// closed. slices ≥ 2, stacks ≥ 1: slices × (stacks + 3) + 2 vertices
// (two cap centres, two cap rings with the caps' normals, stacks + 1 side
// rings), 2 × slices × (stacks + 1) faces.
std::optional<MeshData> CreateCylinder(float radius1, float radius2, float length, uint32_t slices, uint32_t stacks);

// Around the z axis: innerRadius is the tube's, outerRadius the distance of
// the tube's centre from the axis. sides ≥ 3, rings ≥ 3:
// sides × rings vertices, 2 × sides × rings faces.
std::optional<MeshData> CreateTorus(float innerRadius, float outerRadius, uint32_t sides, uint32_t rings);

// A regular polygon in the xy plane facing +z, `length` the side length,
// first corner on +x. sides ≥ 3: sides + 1 vertices, sides faces.
std::optional<MeshData> CreatePolygon(float length, uint32_t sides);

// The Utah teapot, y up, centred on the origin, about 1.6 high: its 32
// Bezier patches at 6 × 6 quads each, without the triangles that collapse
// at the lid's knob and the bottom's centre: 2256 faces.
MeshData CreateTeapot();

}  // namespace d3dx
