// Dialog layouts kept as "DIALOG" resource texts.
#include "platform/window/kit/dialog_layout.h"

#include <gtest/gtest.h>

namespace {

using window::ControlKind;

TEST(DialogLayout, ParsesCaptionControlsTextsAndFlags) {
  const auto layout = kit::ParseDialogLayout(115, R"(# a comment
DIALOG 220 176 "Edit \"Brighten\" Parameters"

STATIC 1012 38 9 120 10 ""
CHECKBOX 1015 7 28 120 10 "&Stretch to fill Screen"
EDIT 1089 48 119 30 12 "" number disabled
SPIN 1091 78 119 10 12 buddy=1089
BUTTON 1 108 157 50 14 "OK" default
GROUPBOX -1 7 108 206 44 "Audio \\ Parameters"
)");
  ASSERT_TRUE(layout);
  EXPECT_EQ(layout->id, 115);
  EXPECT_EQ(layout->caption, "Edit \"Brighten\" Parameters");
  EXPECT_EQ(layout->width, 220);
  EXPECT_EQ(layout->height, 176);
  ASSERT_EQ(layout->controls.size(), 6u);
  const window::ControlTemplate& check = layout->controls[1];
  EXPECT_EQ(check.kind, ControlKind::kCheckBox);
  EXPECT_EQ(check.id, 1015);
  EXPECT_EQ(check.text, "&Stretch to fill Screen");
  EXPECT_EQ((std::array{check.x, check.y, check.width, check.height}), (std::array{7, 28, 120, 10}));
  EXPECT_EQ(layout->controls[2].style, unsigned(window::kNumberOnly | window::kDisabled));
  EXPECT_EQ(layout->controls[3].kind, ControlKind::kSpin);
  EXPECT_EQ(layout->controls[3].buddyId, 1089);
  EXPECT_EQ(layout->controls[4].style, unsigned(window::kDefaultButton));
  EXPECT_EQ(layout->controls[5].id, -1);
  EXPECT_EQ(layout->controls[5].text, "Audio \\ Parameters");
}

TEST(DialogLayout, BrokenTextsAreRefusedWithTheirLine) {
  const struct {
    const char* text;
    const char* error;
  } cases[] = {
      {"", "line 0: no DIALOG line"},
      {"STATIC 1 0 0 1 1", "line 1: expected DIALOG <width> <height> \"<caption>\""},
      {"DIALOG 10 10 \"x\"\nKNOB 1 0 0 1 1", "line 2: not a control"},
      {"DIALOG 10 10 \"x\"\nEDIT 1 0 0 1", "line 2: not a control"},
      {"DIALOG 10 10 \"x\"\nEDIT 1 0 zero 1 1", "line 2: not a control"},
      {"DIALOG 10 10 \"x\"\nEDIT 1 0 0 1 1 \"\" bold", "line 2: not a control"},
      {"DIALOG 10 10 \"x\"\nSPIN 1 0 0 1 1 buddy=x", "line 2: not a control"},
      {"DIALOG 10 10 \"x\n", "line 1: unclosed quote"},
  };
  for (const auto& c : cases) {
    std::string error;
    EXPECT_FALSE(kit::ParseDialogLayout(1, c.text, &error)) << c.text;
    EXPECT_EQ(error, c.error) << c.text;
  }
}

TEST(DialogLayout, AModuleGivesEveryLayoutThatParsesAndNothingElse) {
  static const unsigned char good[] = "DIALOG 10 10 \"Good\"\nBUTTON 1 0 0 10 10 \"OK\"\n";
  static const unsigned char broken[] = "DIALOG ten 10 \"Broken\"\n";
  static const unsigned char shader[] = "float4 ps_main() : COLOR0 { return 0; }";
  const sys::ResourceEntry entries[] = {
      {"dialog", 115, good, sizeof good - 1},
      {"DIALOG", 116, broken, sizeof broken - 1},
      {"SHADER", 117, shader, sizeof shader - 1},
  };
  const sys::ResourceTable module{entries, 3};
  const window::DialogTemplateSet layouts = kit::LoadDialogLayouts(&module);
  ASSERT_NE(layouts.Find(115), nullptr);
  EXPECT_EQ(layouts.Find(115)->caption, "Good");
  EXPECT_EQ(layouts.Find(116), nullptr);
  EXPECT_EQ(layouts.Find(117), nullptr);
  EXPECT_EQ(kit::LoadDialogLayouts(nullptr).Find(115), nullptr);
}

}  // namespace
