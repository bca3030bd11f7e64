// The settings layouts of this group's classes parse and hold every control
// their dialogs read and set; the SuperShape's morph through its shapes.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "effects/group_d/supershape_morph.h"
#include "effects/group_d/twister_chain.h"
#include "effects/group_d/twister_outline.h"
#include "platform/sys/resources.h"
#include "platform/window/kit/dialog_layout.h"

namespace {

TEST(GroupDLayouts, EveryLayoutParsesWithItsCaptionAndControls) {
  const struct {
    int id;
    const char* caption;
    std::vector<int> controls;
  } layouts[] = {
      {190, "Edit 'SuperShape' Parameters",
       {1012, 1014, 1016, 1018, 1023, 1020, 1021, 1022, 1024, 1036, 1037, 1087, 1088, 1095, 1025, 1089, 1090, 1092,
        1094, 1, 2}},
      {144, "Edit 'Twister' Parameters", {1018, 1023, 1024, 1025, 1048, 1049, 1, 2}},
      {200, "Edit 'Rays' Parameters", {1018, 1023, 1022, 1024, 1048, 1, 2}},
      {250, "Edit 'Polarity' Parameters", {1018, 1, 2}},
      {251, "Edit 'String Theory' Parameters", {1018, 1, 2}},
  };
  for (const auto& layout : layouts) {
    const sys::Resource text = sys::FindResource(sys::kResourceDialog, uint32_t(layout.id));
    ASSERT_TRUE(text) << layout.id;
    std::string error;
    const auto parsed = kit::ParseDialogLayout(layout.id, text.Text(), &error);
    ASSERT_TRUE(parsed) << layout.id << ": " << error;
    EXPECT_EQ(parsed->caption, layout.caption);
    for (int id : layout.controls) {
      EXPECT_TRUE(std::any_of(parsed->controls.begin(), parsed->controls.end(),
                              [id](const window::ControlTemplate& c) { return c.id == id; }))
          << layout.id << " has no control " << id;
    }
  }
}

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

}  // namespace
