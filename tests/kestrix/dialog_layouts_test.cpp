// The settings layouts of the classes whose dialogs are not driven on widgets
// here (SuperShape and the generators) parse and hold every control their
// dialogs read and set.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "platform/sys/resources.h"
#include "platform/window/kit/dialog_layout.h"

namespace {

TEST(DialogLayouts, EveryLayoutParsesWithItsCaptionAndControls) {
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

}  // namespace
