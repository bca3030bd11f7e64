#pragma once
// The shape meshes as device objects, as D3DX's mesh objects hold them: a
// vertex buffer (position + normal, 24 bytes a vertex), a 16-bit index
// buffer of triangles, and one subset (0) that covers them all. A mesh keeps
// a reference to its device until it is destroyed.
#include <cstdint>
#include <memory>

#include "platform/d3dx/mesh.h"
#include "platform/gfx/device.h"

namespace d3dx {

class Mesh {
 public:
  // Buffers in the managed pool, write-only, filled with `data`.
  static gfx::Result Create(gfx::Device* device, const MeshData& data, std::unique_ptr<Mesh>* mesh);
  ~Mesh();
  Mesh(const Mesh&) = delete;
  Mesh& operator=(const Mesh&) = delete;

  uint32_t GetNumVertices() const { return vertexCount_; }
  uint32_t GetNumFaces() const { return faceCount_; }
  uint32_t GetNumBytesPerVertex() const { return MeshData::kBytesPerVertex; }
  // Each adds a reference to what it gives.
  gfx::Result GetVertexBuffer(gfx::VertexBuffer** buffer);
  gfx::Result GetIndexBuffer(gfx::IndexBuffer** buffer);
  gfx::Result GetDevice(gfx::Device** device);

  // Draws subset `attribute` with the shaders and states as they are:
  // binds the mesh's vertex declaration, its vertex buffer on stream 0 and
  // its index buffer, and leaves them bound. A subset the mesh does not have
  // draws nothing.
  gfx::Result DrawSubset(uint32_t attribute);

 private:
  Mesh() = default;

  gfx::Device* device_ = nullptr;
  gfx::VertexBuffer* vertices_ = nullptr;
  gfx::IndexBuffer* indices_ = nullptr;
  gfx::VertexDeclaration* declaration_ = nullptr;
  uint32_t vertexCount_ = 0;
  uint32_t faceCount_ = 0;
};

// The shapes of mesh.h on the device. InvalidCall for the arguments those
// refuse; otherwise what the device answers. *mesh is reset on failure.
gfx::Result CreateBox(gfx::Device* device, float width, float height, float depth, std::unique_ptr<Mesh>* mesh);
gfx::Result CreateSphere(gfx::Device* device, float radius, uint32_t slices, uint32_t stacks,
                         std::unique_ptr<Mesh>* mesh);
gfx::Result CreateCylinder(gfx::Device* device, float radius1, float radius2, float length, uint32_t slices,
                           uint32_t stacks, std::unique_ptr<Mesh>* mesh);
gfx::Result CreateTorus(gfx::Device* device, float innerRadius, float outerRadius, uint32_t sides, uint32_t rings,
                        std::unique_ptr<Mesh>* mesh);
gfx::Result CreatePolygon(gfx::Device* device, float length, uint32_t sides, std::unique_ptr<Mesh>* mesh);
gfx::Result CreateTeapot(gfx::Device* device, std::unique_ptr<Mesh>* mesh);

}  // namespace d3dx
