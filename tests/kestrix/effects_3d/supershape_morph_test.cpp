// The SuperShape's morph: the shape it shows at each moment of its cycle.
#include "effects_3d/supershape_morph.h"

#include <gtest/gtest.h>

namespace {

void ExpectCurve(const kestrix::SuperCurve& actual, const kestrix::SuperCurve& expected, uint32_t t) {
  EXPECT_NEAR(actual.m, expected.m, 1e-9) << "t " << t;
  EXPECT_NEAR(actual.n1, expected.n1, 1e-9) << "t " << t;
  EXPECT_NEAR(actual.n2, expected.n2, 1e-9) << "t " << t;
  EXPECT_NEAR(actual.n3, expected.n3, 1e-9) << "t " << t;
}

TEST(SuperShapeMorph, EachShapeLastsTwoSecondsAndEasesIntoTheNext) {
  using kestrix::SuperCurve;
  const struct {
    uint32_t t;
    SuperCurve longitude, latitude;
  } cases[] = {
      {0, {0, 1, 1, 1}, {0, 1, 1, 1}},                    // the unit sphere
      {1000, {2, 15.5, 15.5, 15.5}, {2, 15.5, 15.5, 15.5}},  // half way to the second shape
      {2000, {4, 30, 30, 30}, {4, 30, 30, 30}},
      {13500, {5.75, 0.325, 1.35, 1.325}, {6, 2.65, 3.775, 3.775}},  // three quarters from shape 6 to 7
      {15000, {3.5, 0.6, 1.35, 1.35}, {3.5, 0.6, 1.35, 1.35}},  // from the last shape back towards the sphere
      {16000, {0, 1, 1, 1}, {0, 1, 1, 1}},                      // round again
  };
  for (const auto& c : cases) {
    const kestrix::SuperShapeRow row = kestrix::SuperShapeAt(c.t);
    ExpectCurve(row.longitude, c.longitude, c.t);
    ExpectCurve(row.latitude, c.latitude, c.t);
  }
}

}  // namespace
