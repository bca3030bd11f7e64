// The settings layouts of this group's classes parse and hold every control
// their dialogs read and set; the SuperShape's morph through its shapes.
#include <gtest/gtest.h>

#include <algorithm>

#include "effects/group_d/supershape_morph.h"
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

}  // namespace
