#pragma once
// Vector and matrix helpers with D3DX's conventions: row vectors (a point is
// transformed as v × M, so in A × B the point meets A first), left-handed
// coordinates and row-major storage (m[row][column], translation in row 3).
#include <optional>

namespace d3dx {

struct Vector2 {
  float x = 0, y = 0;
};

struct Vector3 {
  float x = 0, y = 0, z = 0;
};

struct Vector4 {
  float x = 0, y = 0, z = 0, w = 0;
};

struct Matrix {
  float m[4][4] = {};
};

Vector3 operator+(const Vector3& a, const Vector3& b);
Vector3 operator-(const Vector3& a, const Vector3& b);
Vector3 operator*(const Vector3& v, float s);
float Vec3Dot(const Vector3& a, const Vector3& b);
Vector3 Vec3Cross(const Vector3& a, const Vector3& b);
float Vec3Length(const Vector3& v);
// A zero vector stays zero.
Vector3 Vec3Normalize(const Vector3& v);

// (x, y, z, 1) × M divided by its w.
Vector3 Vec3TransformCoord(const Vector3& v, const Matrix& m);
// (x, y, z, 0) × M: direction only, no translation.
Vector3 Vec3TransformNormal(const Vector3& v, const Matrix& m);
// (x, y, z, 1) × M without the divide.
Vector4 Vec3Transform(const Vector3& v, const Matrix& m);
Vector4 Vec4Transform(const Vector4& v, const Matrix& m);

Matrix MatrixIdentity();
Matrix MatrixMultiply(const Matrix& a, const Matrix& b);
inline Matrix operator*(const Matrix& a, const Matrix& b) { return MatrixMultiply(a, b); }
Matrix MatrixTranspose(const Matrix& m);
// None when the matrix is singular; the determinant is stored when asked for.
std::optional<Matrix> MatrixInverse(const Matrix& m, float* determinant = nullptr);
float MatrixDeterminant(const Matrix& m);

Matrix MatrixTranslation(float x, float y, float z);
Matrix MatrixScaling(float x, float y, float z);
// Angles in radians, clockwise when looking along the axis towards the origin.
Matrix MatrixRotationX(float angle);
Matrix MatrixRotationY(float angle);
Matrix MatrixRotationZ(float angle);
// Roll about Z first, then pitch about X, then yaw about Y.
Matrix MatrixRotationYawPitchRoll(float yaw, float pitch, float roll);

Matrix MatrixLookAtLH(const Vector3& eye, const Vector3& at, const Vector3& up);
Matrix MatrixPerspectiveFovLH(float fovY, float aspect, float zNear, float zFar);
Matrix MatrixOrthoLH(float width, float height, float zNear, float zFar);
Matrix MatrixOrthoOffCenterLH(float left, float right, float bottom, float top, float zNear, float zFar);

}  // namespace d3dx
