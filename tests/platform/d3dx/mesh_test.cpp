#include <gtest/gtest.h>

#include <cmath>

#include "platform/d3dx/mesh.h"

using namespace d3dx;

namespace {

// Every face must be wound clockwise seen from outside: for a shape that is
// star-shaped about `inside`, the face's cross product points away from it.
void ExpectOutwardFaces(const MeshData& mesh, Vector3 inside = {}) {
  for (uint32_t f = 0; f < mesh.FaceCount(); ++f) {
    const Vector3& a = mesh.vertices[mesh.indices[f * 3]].position;
    const Vector3& b = mesh.vertices[mesh.indices[f * 3 + 1]].position;
    const Vector3& c = mesh.vertices[mesh.indices[f * 3 + 2]].position;
    Vector3 centre = (a + b + c) * (1.0f / 3);
    EXPECT_GT(Vec3Dot(Vec3Cross(b - a, c - a), centre - inside), 0) << "face " << f;
  }
}

void ExpectUnitNormals(const MeshData& mesh) {
  for (const MeshVertex& v : mesh.vertices) EXPECT_NEAR(Vec3Length(v.normal), 1, 1e-4f);
}

}  // namespace

TEST(Meshes, CountsFollowTheShapeArguments) {
  struct Case {
    const char* name;
    std::optional<MeshData> mesh;
    uint32_t vertices, faces;
  };
  const Case cases[] = {
      {"box", CreateBox(1, 1, 1), 24, 12},
      // slices × (stacks − 1) + 2, 2 × slices × (stacks − 1)
      {"sphere 5 × 4", CreateSphere(1, 5, 4), 17, 30},
      {"sphere 12 × 24", CreateSphere(1, 12, 24), 278, 552},
      // sides × rings, 2 × sides × rings
      {"torus 12 × 24", CreateTorus(0.5f, 1, 12, 24), 288, 576},
      {"torus 3 × 4", CreateTorus(0.5f, 1, 3, 4), 12, 24},
      // slices × (stacks + 3) + 2, 2 × slices × (stacks + 1)
      {"cylinder 24 × 1", CreateCylinder(0.5f, 0.5f, 2, 24, 1), 98, 96},
      {"cylinder 6 × 3", CreateCylinder(0.5f, 0.5f, 2, 6, 3), 38, 48},
      // sides + 1, sides
      {"triangle", CreatePolygon(1.5f, 3), 4, 3},
      {"hexagon", CreatePolygon(1, 6), 7, 6},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(c.mesh);
    EXPECT_EQ(c.mesh->VertexCount(), c.vertices);
    EXPECT_EQ(c.mesh->FaceCount(), c.faces);
    EXPECT_EQ(c.mesh->BytesPerVertex(), 24u);
    EXPECT_EQ(c.mesh->VertexBytes().size(), c.vertices * 24u);
    EXPECT_EQ(c.mesh->IndexBytes().size(), c.faces * 6u);
    for (uint16_t i : c.mesh->indices) EXPECT_LT(i, c.vertices);
    ExpectUnitNormals(*c.mesh);
  }
}

TEST(Meshes, ClosedShapesFaceOutwards) {
  ExpectOutwardFaces(*CreateBox(2, 3, 4));
  ExpectOutwardFaces(*CreateSphere(1, 7, 5));
  ExpectOutwardFaces(*CreateCylinder(1, 0.25f, 3, 8, 2));
  // A torus is star-shaped about its tube's centre line: check against the
  // nearest point of that circle.
  MeshData torus = *CreateTorus(0.5f, 2, 6, 9);
  for (uint32_t f = 0; f < torus.FaceCount(); ++f) {
    const Vector3& a = torus.vertices[torus.indices[f * 3]].position;
    const Vector3& b = torus.vertices[torus.indices[f * 3 + 1]].position;
    const Vector3& c = torus.vertices[torus.indices[f * 3 + 2]].position;
    Vector3 centre = (a + b + c) * (1.0f / 3);
    Vector3 axisPoint = Vec3Normalize({centre.x, centre.y, 0}) * 2;
    EXPECT_GT(Vec3Dot(Vec3Cross(b - a, c - a), centre - axisPoint), 0) << f;
  }
  // The polygon faces +z: clockwise seen from there.
  MeshData polygon = *CreatePolygon(1, 5);
  ExpectOutwardFaces(polygon, {0, 0, -1});
}

TEST(Meshes, PositionsAndNormals) {
  MeshData box = *CreateBox(2, 4, 6);
  for (const MeshVertex& v : box.vertices) {
    EXPECT_EQ(std::abs(v.position.x), 1);
    EXPECT_EQ(std::abs(v.position.y), 2);
    EXPECT_EQ(std::abs(v.position.z), 3);
    // The normal is the axis of the face the corner belongs to.
    Vector3 n = v.normal;
    EXPECT_FLOAT_EQ(std::abs(n.x) + std::abs(n.y) + std::abs(n.z), 1);
    EXPECT_GT(Vec3Dot(n, v.position), 0);
  }

  MeshData sphere = *CreateSphere(2, 4, 2);
  EXPECT_FLOAT_EQ(sphere.vertices.front().position.z, 2);
  EXPECT_FLOAT_EQ(sphere.vertices.back().position.z, -2);
  for (const MeshVertex& v : sphere.vertices) {
    EXPECT_NEAR(Vec3Length(v.position), 2, 1e-5f);
    Vector3 radial = Vec3Normalize(v.position);
    EXPECT_NEAR(Vec3Dot(radial, v.normal), 1, 1e-5f);
  }

  // Radius 1 at −z, radius 0.5 at +z; the side normal leans towards +z.
  MeshData cone = *CreateCylinder(1, 0.5f, 2, 4, 1);
  EXPECT_FLOAT_EQ(cone.vertices[0].position.z, -1);
  EXPECT_FLOAT_EQ(cone.vertices[1].position.x, 1);
  EXPECT_FLOAT_EQ(cone.vertices.back().position.z, 1);
  const MeshVertex& side = cone.vertices[5];
  EXPECT_FLOAT_EQ(side.position.z, -1);
  EXPECT_NEAR(side.normal.z, 0.25f / std::sqrt(1.0625f), 1e-5f);

  MeshData torus = *CreateTorus(0.5f, 1, 4, 4);
  EXPECT_NEAR(torus.vertices[0].position.x, 1.5f, 1e-6f);  // outer equator
  EXPECT_NEAR(torus.vertices[2].position.x, 0.5f, 1e-6f);  // inner equator
  EXPECT_NEAR(torus.vertices[2].normal.x, -1, 1e-6f);

  // Side 1 of a square: corners at radius 1/√2.
  MeshData square = *CreatePolygon(1, 4);
  EXPECT_NEAR(square.vertices[1].position.x, std::sqrt(0.5f), 1e-6f);
  EXPECT_EQ(square.vertices[1].normal.z, 1);
}

TEST(Meshes, RefusedArguments) {
  EXPECT_FALSE(CreateSphere(1, 1, 4));
  EXPECT_FALSE(CreateSphere(1, 4, 1));
  EXPECT_FALSE(CreateTorus(0.5f, 1, 2, 8));
  EXPECT_FALSE(CreatePolygon(1, 2));
  EXPECT_FALSE(CreateCylinder(1, 1, 1, 4, 0));
  EXPECT_FALSE(CreateBox(-1, 1, 1));
  // More vertices than 16-bit indices reach.
  EXPECT_FALSE(CreateSphere(1, 300, 300));
  EXPECT_TRUE(CreateSphere(1, 256, 256));
}

TEST(Meshes, TeapotFromItsPatches) {
  MeshData teapot = CreateTeapot();
  // 32 patches × 6 × 6 quads × 2, less the 6 collapsed triangles of each of
  // the 4 lid-top and 4 bottom patches.
  EXPECT_EQ(teapot.FaceCount(), 2256u);
  EXPECT_EQ(teapot.VertexCount(), 32u * 49u);
  ExpectUnitNormals(teapot);
  float top = -10, bottom = 10;
  for (const MeshVertex& v : teapot.vertices) {
    top = std::max(top, v.position.y);
    bottom = std::min(bottom, v.position.y);
  }
  EXPECT_NEAR(top, 0.7875f, 1e-4f);  // the knob, 3.15 high in the data, halved and centred
  EXPECT_NEAR(bottom, -0.7875f, 1e-4f);
  // The body (patches 4-11) is star-shaped about its axis: normals and faces
  // point away from it.
  for (uint32_t i = 4 * 49; i < 12 * 49; ++i) {
    const MeshVertex& v = teapot.vertices[i];
    EXPECT_GT(Vec3Dot(v.normal, {v.position.x, 0, v.position.z}), 0) << i;
  }
  for (uint32_t f = 4 * 72; f < 12 * 72; ++f) {
    const Vector3& a = teapot.vertices[teapot.indices[f * 3]].position;
    const Vector3& b = teapot.vertices[teapot.indices[f * 3 + 1]].position;
    const Vector3& c = teapot.vertices[teapot.indices[f * 3 + 2]].position;
    EXPECT_GT(Vec3Dot(Vec3Cross(b - a, c - a), {a.x, 0, a.z}), 0) << f;
  }
  // The knob's top point looks straight up.
  const MeshVertex& knob = teapot.vertices[20 * 49];
  EXPECT_NEAR(knob.position.y, 0.7875f, 1e-4f);
  EXPECT_NEAR(knob.normal.y, 1, 1e-3f);
}
