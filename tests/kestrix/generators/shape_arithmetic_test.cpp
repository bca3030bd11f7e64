// The arithmetic of the generators' shapes: the Twister's outline, depth
// shading and chain, and the Polarity strip.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "generators/polarity_strip.h"
#include "generators/twister_chain.h"
#include "generators/twister_outline.h"

namespace {

TEST(TwisterOutline, ObjectsFollowTheEdgesOfTheOutline) {
  const struct {
    int sides;
    bool star;
    float radius, twist, expected;
  } cases[] = {
      {64, false, 30, 0, 30},        {64, false, 30, 777, 30},       {64, false, -30, 777, -30},
      {4, false, 30, 0, 30},         {4, false, 30, 1024, 30 * 0.70710678f}, {4, false, 30, 2048, 30},
      {4, false, 30, -1024, 30 * 0.70710678f}, {4, false, -30, 1024, -30 * 0.70710678f},
      {8, true, 40, 0, 40},          {8, true, 40, 1024, 20},        {8, true, 40, 2048, 40},
      {3, false, 10, 8192 * 5, 10},  {12, false, 50, -1e-4f, 50},    {12, true, 50, -1e-4f, 50},
  };
  for (const auto& c : cases) {
    EXPECT_NEAR(kestrix::TwisterOutlineRadius(c.sides, c.star, c.radius, c.twist), c.expected, 1e-3)
        << c.sides << (c.star ? " star" : "") << " at " << c.twist;
  }
}

TEST(TwisterOutline, FarObjectsDimToFortyPercent) {
  for (auto [z, shade] : {std::pair{0.0f, 1.0f}, {72.0f, 1.0f}, {200.0f, 0.7f}, {328.0f, 0.4f}, {1000.0f, 0.4f}}) {
    EXPECT_NEAR(kestrix::TwisterDepthShade(z), shade, 1e-6) << z;
  }
}

// A chain at rest: every value settled, nothing being handed on.
std::unique_ptr<kestrix::TwisterChain> RestingChain() {
  auto chain = std::make_unique<kestrix::TwisterChain>();
  kestrix::LinkTwisterChain(*chain);
  for (int frame = 0; frame < 8; ++frame) kestrix::StepTwisterChain(*chain);
  return chain;
}

TEST(TwisterChain, ChangesAtTheTopRippleDownTheColumn) {
  auto chain = RestingChain();
  kestrix::TwisterSegment& top = (*chain)[0];
  top.radius.SetTarget(-50.0f);
  top.hue.SetTarget(1.5f);
  top.wobble.SetTarget(900.0f);
  top.spinYawRate = 7.0f;
  top.yawPass = 1;
  std::vector<int> hueArrival(kestrix::kTwisterSegments, -1), wobbleArrival(kestrix::kTwisterSegments, -1);
  int rateAt10 = -1;
  for (int frame = 1; frame <= 40; ++frame) {
    kestrix::StepTwisterChain(*chain);
    if (frame == 2) {
      for (const kestrix::TwisterSegment& s : *chain) {
        ASSERT_EQ(s.radius.target, -50.0f) << "a radius reaches the whole chain the frame it is handed on";
      }
    }
    for (int k = 0; k < kestrix::kTwisterSegments; ++k) {
      if (hueArrival[size_t(k)] < 0 && (*chain)[size_t(k)].hue.target == 1.5f) hueArrival[size_t(k)] = frame;
      if (wobbleArrival[size_t(k)] < 0 && (*chain)[size_t(k)].wobble.target == 900.0f) wobbleArrival[size_t(k)] = frame;
    }
    if (rateAt10 < 0 && (*chain)[10].spinYawRate == 7.0f) rateAt10 = frame;
  }
  EXPECT_EQ(hueArrival[1], 2);
  EXPECT_EQ(hueArrival[10], 11) << "a period-4 value moves one segment a frame";
  EXPECT_EQ(rateAt10, 11) << "so does a rate";
  EXPECT_EQ(wobbleArrival[10] - wobbleArrival[5], 10) << "the wobble moves one segment every two frames";
  EXPECT_EQ((*chain)[0].twist.target, 0.0f);
  EXPECT_FLOAT_EQ((*chain)[0].spinYaw, 7.0f * 40) << "the top spins by its rate each frame";
}

TEST(PolarityStrip, OneStripRunsAcrossEveryGapOfTheColumns) {
  const auto indices = kestrix::PolarityStripIndices();
  ASSERT_EQ(indices.size(), 810u);
  const struct {
    size_t at;
    std::vector<uint16_t> expected;
  } runs[] = {
      {0, {0, 4, 1, 5, 2, 6, 3, 7, 7, 8}},          // the first gap starts from column 0
      {10, {8, 4, 9, 5, 10, 6, 11, 7, 7, 12}},       // later gaps start from the next column
      {800, {324, 320, 325, 321, 326, 322, 327, 323, 323, 323}},  // the last ends on copies of its last vertex
  };
  for (const auto& run : runs) {
    EXPECT_EQ(std::vector<uint16_t>(indices.begin() + long(run.at), indices.begin() + long(run.at + run.expected.size())),
              run.expected)
        << "from " << run.at;
  }
  for (uint16_t index : indices) EXPECT_LT(index, kestrix::kPolarityVertices);

  const auto vertices = kestrix::PolarityStripVertices();
  EXPECT_EQ(vertices[4].x, 0);                    // column 1 starts the arc
  EXPECT_EQ(vertices[0].x, -204 - 12);            // column 0: int(-1 x 204.79375), reaching 12 further
  EXPECT_EQ(vertices[4 * 80].x, 16178);           // int(79 x 204.79375)
  EXPECT_EQ(vertices[4 * 81].x, 16383 + 12);      // column 81: int(80 x 204.79375), 12 further
  const int16_t rows[4][2] = {{0, 0}, {6000, 32767}, {26767, 32767}, {32767, 0}};
  for (int row = 0; row < 4; ++row) {
    EXPECT_EQ(vertices[size_t(4 + row)].y, rows[row][0]);
    EXPECT_EQ(vertices[size_t(4 + row)].z, rows[row][1]);
    EXPECT_EQ(vertices[size_t(row)].z, 0) << "the end columns are transparent";
    EXPECT_EQ(vertices[size_t(4 * 81 + row)].z, 0);
  }
}

}  // namespace
