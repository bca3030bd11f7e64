#include "platform/d3dx/device_mesh.h"

#include <cstring>
#include <optional>
#include <span>

namespace d3dx {
namespace {

template <class Buffer>
gfx::Result Fill(Buffer* buffer, std::span<const uint8_t> bytes) {
  void* target = nullptr;
  gfx::Result r = buffer->Lock(0, 0, &target, gfx::lock::None);
  if (gfx::Failed(r)) return r;
  std::memcpy(target, bytes.data(), bytes.size());
  return buffer->Unlock();
}

gfx::Result FromShape(gfx::Device* device, const std::optional<MeshData>& data, std::unique_ptr<Mesh>* mesh) {
  if (mesh) mesh->reset();
  if (!data) return gfx::Result::InvalidCall;
  return Mesh::Create(device, *data, mesh);
}

}  // namespace

gfx::Result Mesh::Create(gfx::Device* device, const MeshData& data, std::unique_ptr<Mesh>* mesh) {
  if (!mesh) return gfx::Result::InvalidCall;
  mesh->reset();
  if (!device || data.vertices.empty() || data.indices.empty() || data.indices.size() % 3 != 0) {
    return gfx::Result::InvalidCall;
  }
  std::unique_ptr<Mesh> made(new Mesh);
  made->device_ = device;
  device->AddRef();
  made->vertexCount_ = data.VertexCount();
  made->faceCount_ = data.FaceCount();

  const std::span<const uint8_t> vertexBytes = data.VertexBytes(), indexBytes = data.IndexBytes();
  gfx::Result r = device->CreateVertexBuffer(uint32_t(vertexBytes.size()), gfx::usage::WriteOnly, gfx::Pool::Managed,
                                             &made->vertices_);
  if (gfx::Succeeded(r)) r = Fill(made->vertices_, vertexBytes);
  if (gfx::Succeeded(r)) {
    r = device->CreateIndexBuffer(uint32_t(indexBytes.size()), gfx::usage::WriteOnly, gfx::Format::Index16,
                                  gfx::Pool::Managed, &made->indices_);
  }
  if (gfx::Succeeded(r)) r = Fill(made->indices_, indexBytes);
  if (gfx::Succeeded(r)) {
    const gfx::VertexElement elements[] = {{0, 0, gfx::DeclType::Float3, gfx::DeclUsage::Position, 0},
                                           {0, 12, gfx::DeclType::Float3, gfx::DeclUsage::Normal, 0},
                                           gfx::kDeclEnd};
    r = device->CreateVertexDeclaration(elements, &made->declaration_);
  }
  if (gfx::Failed(r)) return r;
  *mesh = std::move(made);
  return gfx::Result::Ok;
}

Mesh::~Mesh() {
  if (declaration_) declaration_->Release();
  if (indices_) indices_->Release();
  if (vertices_) vertices_->Release();
  if (device_) device_->Release();
}

gfx::Result Mesh::GetVertexBuffer(gfx::VertexBuffer** buffer) {
  if (!buffer) return gfx::Result::InvalidCall;
  vertices_->AddRef();
  *buffer = vertices_;
  return gfx::Result::Ok;
}

gfx::Result Mesh::GetIndexBuffer(gfx::IndexBuffer** buffer) {
  if (!buffer) return gfx::Result::InvalidCall;
  indices_->AddRef();
  *buffer = indices_;
  return gfx::Result::Ok;
}

gfx::Result Mesh::GetDevice(gfx::Device** device) {
  if (!device) return gfx::Result::InvalidCall;
  device_->AddRef();
  *device = device_;
  return gfx::Result::Ok;
}

gfx::Result Mesh::DrawSubset(uint32_t attribute) {
  if (attribute != 0) return gfx::Result::Ok;
  gfx::Result r = device_->SetVertexDeclaration(declaration_);
  if (gfx::Succeeded(r)) r = device_->SetStreamSource(0, vertices_, 0, GetNumBytesPerVertex());
  if (gfx::Succeeded(r)) r = device_->SetIndices(indices_);
  if (gfx::Succeeded(r)) {
    r = device_->DrawIndexedPrimitive(gfx::PrimitiveType::TriangleList, 0, 0, vertexCount_, 0, faceCount_);
  }
  return r;
}

gfx::Result CreateBox(gfx::Device* device, float width, float height, float depth, std::unique_ptr<Mesh>* mesh) {
  return FromShape(device, CreateBox(width, height, depth), mesh);
}

gfx::Result CreateSphere(gfx::Device* device, float radius, uint32_t slices, uint32_t stacks,
                         std::unique_ptr<Mesh>* mesh) {
  return FromShape(device, CreateSphere(radius, slices, stacks), mesh);
}

gfx::Result CreateCylinder(gfx::Device* device, float radius1, float radius2, float length, uint32_t slices,
                           uint32_t stacks, std::unique_ptr<Mesh>* mesh) {
  return FromShape(device, CreateCylinder(radius1, radius2, length, slices, stacks), mesh);
}

gfx::Result CreateTorus(gfx::Device* device, float innerRadius, float outerRadius, uint32_t sides, uint32_t rings,
                        std::unique_ptr<Mesh>* mesh) {
  return FromShape(device, CreateTorus(innerRadius, outerRadius, sides, rings), mesh);
}

gfx::Result CreatePolygon(gfx::Device* device, float length, uint32_t sides, std::unique_ptr<Mesh>* mesh) {
  return FromShape(device, CreatePolygon(length, sides), mesh);
}

gfx::Result CreateTeapot(gfx::Device* device, std::unique_ptr<Mesh>* mesh) {
  return FromShape(device, CreateTeapot(), mesh);
}

}  // namespace d3dx
