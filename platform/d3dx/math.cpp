#include "platform/d3dx/math.h"

#include <cmath>

namespace d3dx {

Vector3 operator+(const Vector3& a, const Vector3& b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
Vector3 operator-(const Vector3& a, const Vector3& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Vector3 operator*(const Vector3& v, float s) { return {v.x * s, v.y * s, v.z * s}; }
float Vec3Dot(const Vector3& a, const Vector3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

Vector3 Vec3Cross(const Vector3& a, const Vector3& b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

float Vec3Length(const Vector3& v) { return std::sqrt(Vec3Dot(v, v)); }

Vector3 Vec3Normalize(const Vector3& v) {
  float length = Vec3Length(v);
  if (length == 0.0f) return {};
  return v * (1.0f / length);
}

Vector4 Vec4Transform(const Vector4& v, const Matrix& m) {
  const float in[4] = {v.x, v.y, v.z, v.w};
  float out[4];
  for (int c = 0; c < 4; ++c) {
    out[c] = in[0] * m.m[0][c] + in[1] * m.m[1][c] + in[2] * m.m[2][c] + in[3] * m.m[3][c];
  }
  return {out[0], out[1], out[2], out[3]};
}

Vector4 Vec3Transform(const Vector3& v, const Matrix& m) { return Vec4Transform({v.x, v.y, v.z, 1.0f}, m); }

Vector3 Vec3TransformCoord(const Vector3& v, const Matrix& m) {
  Vector4 r = Vec3Transform(v, m);
  // A point sent to infinity keeps its unscaled direction rather than dividing by zero.
  float inv = r.w != 0.0f ? 1.0f / r.w : 1.0f;
  return {r.x * inv, r.y * inv, r.z * inv};
}

Vector3 Vec3TransformNormal(const Vector3& v, const Matrix& m) {
  Vector4 r = Vec4Transform({v.x, v.y, v.z, 0.0f}, m);
  return {r.x, r.y, r.z};
}

Matrix MatrixIdentity() {
  Matrix r;
  for (int i = 0; i < 4; ++i) r.m[i][i] = 1.0f;
  return r;
}

Matrix MatrixMultiply(const Matrix& a, const Matrix& b) {
  Matrix r;
  for (int i = 0; i < 4; ++i) {
    for (int j = 0; j < 4; ++j) {
      r.m[i][j] = a.m[i][0] * b.m[0][j] + a.m[i][1] * b.m[1][j] + a.m[i][2] * b.m[2][j] + a.m[i][3] * b.m[3][j];
    }
  }
  return r;
}

Matrix MatrixTranspose(const Matrix& m) {
  Matrix r;
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) r.m[i][j] = m.m[j][i];
  return r;
}

namespace {

// Cofactor expansion in double precision: the inverse of a product of a few
// rotations and a projection stays accurate to float rounding.
void Adjugate(const Matrix& m, double out[4][4], double& determinant) {
  double a[4][4];
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) a[i][j] = m.m[i][j];
  auto minor3 = [&](int row, int col) {
    double s[3][3];
    for (int i = 0, si = 0; i < 4; ++i) {
      if (i == row) continue;
      for (int j = 0, sj = 0; j < 4; ++j) {
        if (j == col) continue;
        s[si][sj++] = a[i][j];
      }
      ++si;
    }
    return s[0][0] * (s[1][1] * s[2][2] - s[1][2] * s[2][1]) - s[0][1] * (s[1][0] * s[2][2] - s[1][2] * s[2][0]) +
           s[0][2] * (s[1][0] * s[2][1] - s[1][1] * s[2][0]);
  };
  determinant = 0;
  for (int i = 0; i < 4; ++i) {
    for (int j = 0; j < 4; ++j) {
      double cofactor = ((i + j) % 2 ? -1.0 : 1.0) * minor3(i, j);
      out[j][i] = cofactor;  // transposed: the adjugate
      if (i == 0) determinant += a[0][j] * cofactor;
    }
  }
}

}  // namespace

float MatrixDeterminant(const Matrix& m) {
  double adj[4][4];
  double det;
  Adjugate(m, adj, det);
  return static_cast<float>(det);
}

std::optional<Matrix> MatrixInverse(const Matrix& m, float* determinant) {
  double adj[4][4];
  double det;
  Adjugate(m, adj, det);
  if (determinant) *determinant = static_cast<float>(det);
  if (det == 0.0 || !std::isfinite(det)) return std::nullopt;
  Matrix r;
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) r.m[i][j] = static_cast<float>(adj[i][j] / det);
  return r;
}

Matrix MatrixTranslation(float x, float y, float z) {
  Matrix r = MatrixIdentity();
  r.m[3][0] = x;
  r.m[3][1] = y;
  r.m[3][2] = z;
  return r;
}

Matrix MatrixScaling(float x, float y, float z) {
  Matrix r;
  r.m[0][0] = x;
  r.m[1][1] = y;
  r.m[2][2] = z;
  r.m[3][3] = 1.0f;
  return r;
}

Matrix MatrixRotationX(float angle) {
  float c = std::cos(angle), s = std::sin(angle);
  Matrix r = MatrixIdentity();
  r.m[1][1] = c;
  r.m[1][2] = s;
  r.m[2][1] = -s;
  r.m[2][2] = c;
  return r;
}

Matrix MatrixRotationY(float angle) {
  float c = std::cos(angle), s = std::sin(angle);
  Matrix r = MatrixIdentity();
  r.m[0][0] = c;
  r.m[0][2] = -s;
  r.m[2][0] = s;
  r.m[2][2] = c;
  return r;
}

Matrix MatrixRotationZ(float angle) {
  float c = std::cos(angle), s = std::sin(angle);
  Matrix r = MatrixIdentity();
  r.m[0][0] = c;
  r.m[0][1] = s;
  r.m[1][0] = -s;
  r.m[1][1] = c;
  return r;
}

Matrix MatrixRotationYawPitchRoll(float yaw, float pitch, float roll) {
  return MatrixRotationZ(roll) * MatrixRotationX(pitch) * MatrixRotationY(yaw);
}

Matrix MatrixLookAtLH(const Vector3& eye, const Vector3& at, const Vector3& up) {
  Vector3 zaxis = Vec3Normalize(at - eye);
  Vector3 xaxis = Vec3Normalize(Vec3Cross(up, zaxis));
  Vector3 yaxis = Vec3Cross(zaxis, xaxis);
  Matrix r = MatrixIdentity();
  const Vector3 axes[3] = {xaxis, yaxis, zaxis};
  for (int c = 0; c < 3; ++c) {
    r.m[0][c] = axes[c].x;
    r.m[1][c] = axes[c].y;
    r.m[2][c] = axes[c].z;
    r.m[3][c] = -Vec3Dot(axes[c], eye);
  }
  return r;
}

Matrix MatrixPerspectiveFovLH(float fovY, float aspect, float zNear, float zFar) {
  float yScale = 1.0f / std::tan(fovY * 0.5f);
  Matrix r;
  r.m[0][0] = yScale / aspect;
  r.m[1][1] = yScale;
  r.m[2][2] = zFar / (zFar - zNear);
  r.m[2][3] = 1.0f;
  r.m[3][2] = -zNear * zFar / (zFar - zNear);
  return r;
}

Matrix MatrixOrthoLH(float width, float height, float zNear, float zFar) {
  Matrix r;
  r.m[0][0] = 2.0f / width;
  r.m[1][1] = 2.0f / height;
  r.m[2][2] = 1.0f / (zFar - zNear);
  r.m[3][2] = zNear / (zNear - zFar);
  r.m[3][3] = 1.0f;
  return r;
}

Matrix MatrixOrthoOffCenterLH(float left, float right, float bottom, float top, float zNear, float zFar) {
  Matrix r;
  r.m[0][0] = 2.0f / (right - left);
  r.m[1][1] = 2.0f / (top - bottom);
  r.m[2][2] = 1.0f / (zFar - zNear);
  r.m[3][0] = (left + right) / (left - right);
  r.m[3][1] = (top + bottom) / (bottom - top);
  r.m[3][2] = zNear / (zNear - zFar);
  r.m[3][3] = 1.0f;
  return r;
}

}  // namespace d3dx
