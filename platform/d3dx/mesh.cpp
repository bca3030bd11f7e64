#include "platform/d3dx/mesh.h"

#include <cmath>
#include <numbers>

#include "teapot_patches.h"

namespace d3dx {
namespace {

constexpr float kPi = std::numbers::pi_v<float>;
constexpr size_t kMaxVertices = 65536;

class Builder {
 public:
  uint16_t Vertex(Vector3 position, Vector3 normal) {
    mesh_.vertices.push_back({position, Vec3Normalize(normal)});
    return uint16_t(mesh_.vertices.size() - 1);
  }

  // Adds the triangle wound clockwise seen from the side its vertex normals
  // face; a triangle without area is left out.
  void Face(uint16_t a, uint16_t b, uint16_t c) {
    const auto& v = mesh_.vertices;
    const Vector3 e1 = v[b].position - v[a].position, e2 = v[c].position - v[a].position;
    const Vector3 n = Vec3Cross(e1, e2);
    // Collapsed: two corners (nearly) coincide, or all three lie on a line.
    const float l1 = Vec3Length(e1), l2 = Vec3Length(e2), l3 = Vec3Length(v[c].position - v[b].position);
    if (l1 < 1e-6f || l2 < 1e-6f || l3 < 1e-6f || Vec3Length(n) < 1e-5f * l1 * l2) return;
    Vector3 facing = v[a].normal + v[b].normal + v[c].normal;
    if (Vec3Dot(n, facing) < 0) std::swap(b, c);
    mesh_.indices.insert(mesh_.indices.end(), {a, b, c});
  }

  void Quad(uint16_t a, uint16_t b, uint16_t c, uint16_t d) {
    Face(a, b, c);
    Face(a, c, d);
  }

  MeshData Take() { return std::move(mesh_); }

 private:
  MeshData mesh_;
};

bool FitsIndices(uint64_t vertices) { return vertices <= kMaxVertices; }

}  // namespace

std::optional<MeshData> CreateBox(float width, float height, float depth) {
  if (!(width >= 0 && height >= 0 && depth >= 0)) return std::nullopt;
  const Vector3 half{width / 2, height / 2, depth / 2};
  // Per face: its normal, and the two in-plane axes its corners step along.
  struct Side {
    Vector3 normal, u, v;
  };
  const Side sides[6] = {
      {{-1, 0, 0}, {0, 0, 1}, {0, 1, 0}}, {{1, 0, 0}, {0, 0, -1}, {0, 1, 0}},
      {{0, -1, 0}, {1, 0, 0}, {0, 0, 1}}, {{0, 1, 0}, {1, 0, 0}, {0, 0, -1}},
      {{0, 0, -1}, {1, 0, 0}, {0, 1, 0}}, {{0, 0, 1}, {-1, 0, 0}, {0, 1, 0}},
  };
  Builder b;
  for (const Side& s : sides) {
    uint16_t corner[4];
    const float du[4] = {-1, -1, 1, 1}, dv[4] = {-1, 1, 1, -1};
    for (int i = 0; i < 4; ++i) {
      Vector3 p = s.normal + s.u * du[i] + s.v * dv[i];
      corner[i] = b.Vertex({p.x * half.x, p.y * half.y, p.z * half.z}, s.normal);
    }
    b.Quad(corner[0], corner[1], corner[2], corner[3]);
  }
  return b.Take();
}

std::optional<MeshData> CreateSphere(float radius, uint32_t slices, uint32_t stacks) {
  if (!(radius >= 0) || slices < 2 || stacks < 2 || !FitsIndices(uint64_t(slices) * (stacks - 1) + 2)) {
    return std::nullopt;
  }
  Builder b;
  const uint16_t top = b.Vertex({0, 0, radius}, {0, 0, 1});
  for (uint32_t i = 1; i < stacks; ++i) {
    const float phi = kPi * float(i) / float(stacks);
    for (uint32_t j = 0; j < slices; ++j) {
      const float theta = 2 * kPi * float(j) / float(slices);
      const Vector3 n{std::sin(phi) * std::cos(theta), std::sin(phi) * std::sin(theta), std::cos(phi)};
      b.Vertex(n * radius, n);
    }
  }
  const uint16_t bottom = b.Vertex({0, 0, -radius}, {0, 0, -1});
  auto ring = [&](uint32_t stack, uint32_t slice) { return uint16_t(1 + (stack - 1) * slices + slice % slices); };
  for (uint32_t j = 0; j < slices; ++j) b.Face(top, ring(1, j), ring(1, j + 1));
  for (uint32_t i = 1; i + 1 < stacks; ++i) {
    for (uint32_t j = 0; j < slices; ++j) b.Quad(ring(i, j), ring(i + 1, j), ring(i + 1, j + 1), ring(i, j + 1));
  }
  for (uint32_t j = 0; j < slices; ++j) b.Face(bottom, ring(stacks - 1, j + 1), ring(stacks - 1, j));
  return b.Take();
}

std::optional<MeshData> CreateCylinder(float radius1, float radius2, float length, uint32_t slices,
                                       uint32_t stacks) {
  if (!(radius1 >= 0 && radius2 >= 0 && length >= 0) || slices < 2 || stacks < 1 ||
      !FitsIndices(uint64_t(slices) * (stacks + 3) + 2)) {
    return std::nullopt;
  }
  const float z0 = -length / 2;
  // The side's normal leans towards the narrow end.
  const float slope = length > 0 ? (radius1 - radius2) / length : 0;
  auto around = [&](uint32_t j) {
    const float theta = 2 * kPi * float(j) / float(slices);
    return Vector2{std::cos(theta), std::sin(theta)};
  };
  // Bottom centre and ring, the side rings, top ring and centre.
  Builder m;
  m.Vertex({0, 0, z0}, {0, 0, -1});
  for (uint32_t j = 0; j < slices; ++j) {
    Vector2 d = around(j);
    m.Vertex({d.x * radius1, d.y * radius1, z0}, {0, 0, -1});
  }
  const uint16_t sideStart = uint16_t(1 + slices);
  for (uint32_t i = 0; i <= stacks; ++i) {
    const float t = float(i) / float(stacks);
    const float r = radius1 + (radius2 - radius1) * t;
    for (uint32_t j = 0; j < slices; ++j) {
      Vector2 d = around(j);
      m.Vertex({d.x * r, d.y * r, z0 + length * t}, {d.x, d.y, slope});
    }
  }
  const uint16_t topRing = uint16_t(sideStart + (stacks + 1) * slices);
  for (uint32_t j = 0; j < slices; ++j) {
    Vector2 d = around(j);
    m.Vertex({d.x * radius2, d.y * radius2, -z0}, {0, 0, 1});
  }
  const uint16_t topCentre = m.Vertex({0, 0, -z0}, {0, 0, 1});
  for (uint32_t j = 0; j < slices; ++j) m.Face(0, uint16_t(1 + (j + 1) % slices), uint16_t(1 + j));
  auto side = [&](uint32_t i, uint32_t j) { return uint16_t(sideStart + i * slices + j % slices); };
  for (uint32_t i = 0; i < stacks; ++i) {
    for (uint32_t j = 0; j < slices; ++j) m.Quad(side(i, j), side(i + 1, j), side(i + 1, j + 1), side(i, j + 1));
  }
  for (uint32_t j = 0; j < slices; ++j) m.Face(topCentre, uint16_t(topRing + j), uint16_t(topRing + (j + 1) % slices));
  return m.Take();
}

std::optional<MeshData> CreateTorus(float innerRadius, float outerRadius, uint32_t sides, uint32_t rings) {
  if (!(innerRadius >= 0 && outerRadius >= 0) || sides < 3 || rings < 3 || !FitsIndices(uint64_t(sides) * rings)) {
    return std::nullopt;
  }
  Builder b;
  for (uint32_t i = 0; i < rings; ++i) {
    const float theta = 2 * kPi * float(i) / float(rings);
    const Vector3 centre{outerRadius * std::cos(theta), outerRadius * std::sin(theta), 0};
    for (uint32_t j = 0; j < sides; ++j) {
      const float phi = 2 * kPi * float(j) / float(sides);
      const Vector3 n{std::cos(phi) * std::cos(theta), std::cos(phi) * std::sin(theta), std::sin(phi)};
      b.Vertex(centre + n * innerRadius, n);
    }
  }
  auto at = [&](uint32_t i, uint32_t j) { return uint16_t((i % rings) * sides + j % sides); };
  for (uint32_t i = 0; i < rings; ++i) {
    for (uint32_t j = 0; j < sides; ++j) b.Quad(at(i, j), at(i + 1, j), at(i + 1, j + 1), at(i, j + 1));
  }
  return b.Take();
}

std::optional<MeshData> CreatePolygon(float length, uint32_t sides) {
  if (!(length >= 0) || sides < 3 || !FitsIndices(uint64_t(sides) + 1)) return std::nullopt;
  const float radius = length / (2 * std::sin(kPi / float(sides)));
  Builder b;
  const Vector3 normal{0, 0, 1};
  const uint16_t centre = b.Vertex({0, 0, 0}, normal);
  for (uint32_t j = 0; j < sides; ++j) {
    const float theta = 2 * kPi * float(j) / float(sides);
    b.Vertex({radius * std::cos(theta), radius * std::sin(theta), 0}, normal);
  }
  for (uint32_t j = 0; j < sides; ++j) b.Face(centre, uint16_t(1 + j), uint16_t(1 + (j + 1) % sides));
  return b.Take();
}

namespace {

Vector3 Bezier(const Vector3 p[4], float t) {
  const float s = 1 - t;
  return p[0] * (s * s * s) + p[1] * (3 * s * s * t) + p[2] * (3 * s * t * t) + p[3] * (t * t * t);
}

Vector3 BezierDerivative(const Vector3 p[4], float t) {
  const float s = 1 - t;
  return (p[1] - p[0]) * (3 * s * s) + (p[2] - p[1]) * (6 * s * t) + (p[3] - p[2]) * (3 * t * t);
}

struct PatchPoint {
  Vector3 position, du, dv;
};

PatchPoint EvaluatePatch(const Vector3 cp[16], float u, float v) {
  Vector3 rows[4], rowDerivs[4];
  for (int r = 0; r < 4; ++r) {
    rows[r] = Bezier(&cp[r * 4], u);
    rowDerivs[r] = BezierDerivative(&cp[r * 4], u);
  }
  return {Bezier(rows, v), Bezier(rowDerivs, v), BezierDerivative(rows, v)};
}

}  // namespace

MeshData CreateTeapot() {
  constexpr int kSteps = 6;
  constexpr float kScale = 0.5f, kCentreHeight = 1.575f;
  Builder m;
  for (const auto& patch : detail::kTeapotPatches) {
    // z up in the data; y up here (a rotation, so the handedness holds).
    Vector3 cp[16];
    for (int i = 0; i < 16; ++i) {
      const float* p = detail::kTeapotPoints[patch[i]];
      cp[i] = {p[0] * kScale, (p[2] - kCentreHeight) * kScale, -p[1] * kScale};
    }
    uint16_t grid[kSteps + 1][kSteps + 1];
    for (int i = 0; i <= kSteps; ++i) {
      for (int j = 0; j <= kSteps; ++j) {
        const float u = float(j) / kSteps, v = float(i) / kSteps;
        PatchPoint pt = EvaluatePatch(cp, u, v);
        Vector3 n = Vec3Cross(pt.du, pt.dv);
        if (Vec3Length(n) < 1e-6f) {
          // Where a patch edge collapses to a point (the knob, the bottom's
          // centre) take the normal from just inside the patch.
          const float e = 1e-3f;
          PatchPoint inner = EvaluatePatch(cp, std::fmin(std::fmax(u, e), 1 - e), std::fmin(std::fmax(v, e), 1 - e));
          n = Vec3Cross(inner.du, inner.dv);
        }
        grid[i][j] = m.Vertex(pt.position, n);
      }
    }
    for (int i = 0; i < kSteps; ++i) {
      for (int j = 0; j < kSteps; ++j) m.Quad(grid[i][j], grid[i][j + 1], grid[i + 1][j + 1], grid[i + 1][j]);
    }
  }
  return m.Take();
}

}  // namespace d3dx
