#include <gtest/gtest.h>

#include <numbers>

#include "platform/d3dx/math.h"

using namespace d3dx;

namespace {

constexpr float kPi = std::numbers::pi_v<float>;

void ExpectNear(const Vector3& got, const Vector3& want, float tolerance = 1e-5f) {
  EXPECT_NEAR(got.x, want.x, tolerance);
  EXPECT_NEAR(got.y, want.y, tolerance);
  EXPECT_NEAR(got.z, want.z, tolerance);
}

void ExpectNear(const Matrix& got, const Matrix& want, float tolerance = 1e-5f) {
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) EXPECT_NEAR(got.m[i][j], want.m[i][j], tolerance) << i << "," << j;
}

}  // namespace

TEST(Matrices, OrthoSendsThePixelCornerToClipCorner) {
  // 640 × 480, near 0, far 2: x/320, y/240, z/2.
  Matrix m = MatrixOrthoLH(640, 480, 0, 2);
  ExpectNear(Vec3TransformCoord({320, 240, 1}, m), {1, 1, 0.5f});
  ExpectNear(Vec3TransformCoord({-320, -240, 0}, m), {-1, -1, 0});
  // Off-centre over the same box is the same matrix.
  ExpectNear(MatrixOrthoOffCenterLH(-320, 320, -240, 240, 0, 2), m);
  // A pixel grid from (0, 0) top-left to (640, 480) bottom-right.
  Matrix pixels = MatrixOrthoOffCenterLH(0, 640, 480, 0, 0, 1);
  ExpectNear(Vec3TransformCoord({0, 0, 0}, pixels), {-1, 1, 0});
  ExpectNear(Vec3TransformCoord({640, 480, 1}, pixels), {1, -1, 1});
}

TEST(Matrices, PerspectiveMapsNearAndFarToDepthZeroAndOne) {
  // fov 90°: cot(45°) = 1, so x' = x / (aspect · z), y' = y / z.
  Matrix m = MatrixPerspectiveFovLH(kPi / 2, 2.0f, 1, 10);
  ExpectNear(Vec3TransformCoord({2, 1, 1}, m), {1, 1, 0});
  ExpectNear(Vec3TransformCoord({-20, 10, 10}, m), {-1, 1, 1});
  EXPECT_FLOAT_EQ(Vec3Transform({0, 0, 5}, m).w, 5);
}

TEST(Matrices, LookAtPutsTheTargetOnThePositiveZAxis) {
  Matrix view = MatrixLookAtLH({0, 0, -3}, {0, 0, 0}, {0, 1, 0});
  ExpectNear(Vec3TransformCoord({0, 0, 0}, view), {0, 0, 3});
  ExpectNear(Vec3TransformCoord({1, 2, 0}, view), {1, 2, 3});
  // Looking along +x from the origin: the world's +x is straight ahead,
  // the world's −z is to the right (left-handed).
  Matrix side = MatrixLookAtLH({0, 0, 0}, {1, 0, 0}, {0, 1, 0});
  ExpectNear(Vec3TransformCoord({5, 0, 0}, side), {0, 0, 5});
  ExpectNear(Vec3TransformCoord({0, 0, -1}, side), {1, 0, 0});
}

TEST(Matrices, RotationsTurnClockwiseLookingDownTheAxis) {
  struct Case {
    Matrix m;
    Vector3 in, out;
  };
  const Case cases[] = {
      {MatrixRotationX(kPi / 2), {0, 1, 0}, {0, 0, 1}},
      {MatrixRotationY(kPi / 2), {0, 0, 1}, {1, 0, 0}},
      {MatrixRotationZ(kPi / 2), {1, 0, 0}, {0, 1, 0}},
      // Roll first, then pitch, then yaw.
      {MatrixRotationYawPitchRoll(kPi / 2, 0, 0), {0, 0, 1}, {1, 0, 0}},
      {MatrixRotationYawPitchRoll(kPi / 2, kPi / 2, 0), {0, 1, 0}, {1, 0, 0}},
      {MatrixRotationYawPitchRoll(0, kPi / 2, kPi / 2), {1, 0, 0}, {0, 0, 1}},
      {MatrixScaling(2, 3, 4) * MatrixTranslation(1, 2, 3), {1, 1, 1}, {3, 5, 7}},
  };
  for (const Case& c : cases) ExpectNear(Vec3TransformCoord(c.in, c.m), c.out);
  // Normals ignore translation.
  ExpectNear(Vec3TransformNormal({1, 0, 0}, MatrixTranslation(5, 5, 5)), {1, 0, 0});
}

TEST(Matrices, ProductAppliesTheLeftMatrixFirst) {
  Matrix a = MatrixTranslation(1, 0, 0), b = MatrixRotationZ(kPi / 2);
  ExpectNear(Vec3TransformCoord({0, 0, 0}, a * b), {0, 1, 0});  // moved, then turned
  ExpectNear(Vec3TransformCoord({0, 0, 0}, b * a), {1, 0, 0});  // turned, then moved
}

TEST(Matrices, InverseOfAProductIsTheReversedProductOfInverses) {
  Matrix a = MatrixRotationYawPitchRoll(0.3f, -0.7f, 1.1f) * MatrixTranslation(4, -2, 7);
  Matrix b = MatrixScaling(2, 0.5f, 3) * MatrixLookAtLH({1, 2, -5}, {0, 1, 0}, {0, 1, 0});
  auto ab = MatrixInverse(a * b);
  auto ia = MatrixInverse(a), ib = MatrixInverse(b);
  ASSERT_TRUE(ab && ia && ib);
  ExpectNear(*ab, *ib * *ia, 1e-4f);
  ExpectNear(*ab * (a * b), MatrixIdentity(), 1e-4f);
  float det = 0;
  ASSERT_TRUE(MatrixInverse(MatrixScaling(2, 3, 4), &det));
  EXPECT_FLOAT_EQ(det, 24);
  EXPECT_FALSE(MatrixInverse(MatrixScaling(1, 0, 1), &det));
  EXPECT_EQ(det, 0);
  EXPECT_EQ(MatrixTranspose(MatrixTranslation(1, 2, 3)).m[2][3], 3);
}
