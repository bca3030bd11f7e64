// The settings dialog every plug-in with a source input shares, driven like a
// user on real widgets.
#include "platform/window/kit/source_settings_dialog.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <climits>
#include <vector>

#include "modal_driver.h"
#include "platform/window/kit/dialog_helpers.h"
#include "platform/window/kit/dialog_layout.h"
#include "test_host.h"

namespace {

constexpr int kTemplate = 173;

window::DialogTemplateSet Templates() {
  window::DialogTemplateSet set;
  set.Add(*kit::ParseDialogLayout(kTemplate, R"(
DIALOG 200 130 "Edit Test Source Parameters"
STATIC 1012 10 10 120 10 ""
BUTTON 1014 140 8 50 14 "S&ource"
CHECKBOX 1015 10 25 120 10 "&Stretch to fill Screen"
CHECKBOX 1018 10 37 120 10 "&Erase on Note Off"
GROUPBOX -1 5 50 190 50 "Audio Parameters"
EDIT 1089 10 62 30 12 "" number
SPIN 1091 40 62 10 12 "" buddy=1089
CHECKBOX 1092 55 62 50 10 "Velocity"
EDIT 1090 10 80 30 12 "" number
SPIN 1093 40 80 10 12 "" buddy=1090
CHECKBOX 1094 55 80 50 10 "Velocity"
SLIDER 1128 110 62 80 14 ""
BUTTON 1 90 110 50 14 "OK" default
BUTTON 2 145 110 50 14 "Cancel"
)"));
  return set;
}

constexpr uint32_t kStretch = 1, kErase = 4, kVolumeVelocity = 0x20, kPanVelocity = 0x40;
constexpr kit::OptionCheckBox kBoxes[] = {
    {1015, kStretch}, {1018, kErase}, {1092, kVolumeVelocity}, {1094, kPanVelocity}};

struct Plug {
  kit::SourceName name;
  uint32_t options = kStretch | 0x100;  // 0x100: a bit without a check box
  uint8_t volume = 100;
  uint8_t pan = 64;
};

bool RunDialog(TestHost& host, Plug& plug) {
  const window::DialogTemplateSet templates = Templates();
  return kit::RunSourceSettingsDialog(templates, kTemplate, nullptr, kBoxes,
                                      {&host, &plug.name, &plug.options, &plug.volume, &plug.pan});
}

template <typename W>
W* Child(QWidget* dialog, int id) {
  W* child = dialog->findChild<W*>(QString::number(id));
  EXPECT_NE(child, nullptr) << "control " << id;
  return child;
}

void Type(QLineEdit* edit, const char* text) {
  edit->clear();
  QTest::keyClicks(edit, text);
}

TEST(SourceSettingsDialog, ANewPatchOpensTheChooserAndCancelKeepsOnlyTheChosenSource) {
  TestHost host;
  host.selectSource = [](lv::WindowHandle owner, const char*) {
    EXPECT_NE(owner, nullptr) << "the chooser is owned by the dialog";
    return "clips/loop.avi";
  };
  Plug plug;
  WhenModal<QDialog>([&host](QDialog* dialog) {
    EXPECT_EQ(host.selectSourceCurrents, std::vector<std::string>{"(null)"}) << "opened by itself, once";
    EXPECT_EQ(Child<QLabel>(dialog, 1012)->text(), "clips/loop.avi");
    QTest::mouseClick(Child<QCheckBox>(dialog, 1015), Qt::LeftButton);
    QTest::mouseClick(Child<QCheckBox>(dialog, 1018), Qt::LeftButton);
    Type(Child<QLineEdit>(dialog, 1089), "5");
    QTest::mouseClick(Child<QPushButton>(dialog, window::kIdCancel), Qt::LeftButton);
  });
  EXPECT_FALSE(RunDialog(host, plug));
  EXPECT_STREQ(plug.name.Get(), "clips/loop.avi");
  EXPECT_EQ(plug.options, kStretch | 0x100u);
  EXPECT_EQ(plug.volume, 100);
  EXPECT_EQ(plug.pan, 64);
}

TEST(SourceSettingsDialog, OkReadsEveryControlBackAndAVelocityBoxDisablesItsValue) {
  TestHost host;
  Plug plug;
  plug.name.Set("a.avi");
  plug.pan = 74;
  WhenModal<QDialog>([](QDialog* dialog) {
    EXPECT_EQ(Child<QLabel>(dialog, 1012)->text(), "a.avi");
    EXPECT_TRUE(Child<QCheckBox>(dialog, 1015)->isChecked());
    EXPECT_EQ(Child<QLineEdit>(dialog, 1089)->text(), "100");
    EXPECT_EQ(Child<QLineEdit>(dialog, 1090)->text(), "10");
    QTest::mouseClick(Child<QCheckBox>(dialog, 1092), Qt::LeftButton);
    EXPECT_FALSE(Child<QLineEdit>(dialog, 1089)->isEnabled());
    EXPECT_TRUE(Child<QLineEdit>(dialog, 1090)->isEnabled());
    QTest::mouseClick(Child<QCheckBox>(dialog, 1015), Qt::LeftButton);
    QTest::mouseClick(Child<QCheckBox>(dialog, 1018), Qt::LeftButton);
    Type(Child<QLineEdit>(dialog, 1090), "-80");
    QTest::mouseClick(Child<QPushButton>(dialog, window::kIdOk), Qt::LeftButton);
  });
  EXPECT_TRUE(RunDialog(host, plug));
  EXPECT_TRUE(host.selectSourceCurrents.empty()) << "a patch with a source does not open the chooser";
  EXPECT_EQ(plug.options, kErase | kVolumeVelocity | 0x100u);
  EXPECT_EQ(plug.volume, 100);
  EXPECT_EQ(plug.pan, 1) << "-80 clamps to -63, stored as 1";
}

// Records the slider messages the shared procedure passes on.
class ScrollRecorder final : public kit::SettingsDialogExtras {
 public:
  struct Call {
    window::MessageId message;
    window::ScrollCode code;
    int position, control;
  };
  void Init(window::Dialog& dialog) override { dialog.SetRange(1128, 0, 10); }
  bool Scroll(window::Dialog& dialog, window::MessageId message, window::WParam w, int control) override {
    calls.push_back({message, window::ScrollCodeOf(w), dialog.GetPosition(1128), control});
    return true;
  }
  std::vector<Call> calls;
};

TEST(SourceSettingsDialog, SliderMovesReachThePlugInsHook) {
  TestHost host;
  Plug plug;
  plug.name.Set("a.avi");
  ScrollRecorder recorder;
  WhenModal<QDialog>([](QDialog* dialog) {
    QSlider* slider = Child<QSlider>(dialog, 1128);
    slider->setFocus();
    QTest::keyClick(slider, Qt::Key_Right);
    QTest::keyClick(slider, Qt::Key_Right);
    QTest::mouseClick(Child<QPushButton>(dialog, window::kIdCancel), Qt::LeftButton);
  });
  const window::DialogTemplateSet templates = Templates();
  EXPECT_FALSE(kit::RunSourceSettingsDialog(templates, kTemplate, nullptr, kBoxes,
                                            {&host, &plug.name, &plug.options, &plug.volume, &plug.pan}, &recorder));
  ASSERT_EQ(recorder.calls.size(), 2u);
  for (size_t i = 0; i < 2; ++i) {
    EXPECT_EQ(recorder.calls[i].message, window::msg::kHScroll);
    EXPECT_EQ(recorder.calls[i].code, window::ScrollCode::kLineRight);
    EXPECT_EQ(recorder.calls[i].control, 1128);
    EXPECT_EQ(recorder.calls[i].position, int(i) + 1) << "the hook sees the slider's new position";
  }
}

TEST(SourceSettingsDialog, AMissingLayoutIsNoOk) {
  TestHost host;
  Plug plug;
  const window::DialogTemplateSet none;
  EXPECT_FALSE(kit::RunSourceSettingsDialog(none, kTemplate, nullptr, kBoxes,
                                            {&host, &plug.name, &plug.options, &plug.volume, &plug.pan}));
}

TEST(DialogReadInt, ReadsNineCharactersLikeAtoiAndClamps) {
  const struct {
    const char* text;
    int minimum, maximum, expected;
  } cases[] = {
      {"-70", -63, 63, -63},           {"63", -63, 63, 63},        {"0", -63, 63, 0},
      {"abc", -63, 63, 0},             {"abc", 5, 10, 5},          {"300", 0, 127, 127},
      {"  +42xyz", 0, 127, 42},        {"1234567890123", 0, INT_MAX, 123456789},
      {"-", -10, 10, 0},
  };
  window::DialogTemplateSet set;
  set.Add({1, "Read", 60, 20, {{window::ControlKind::kEdit, 1089, "", 0, 0, 50, 12}}});
  window::RunModalDialog(set, 1, nullptr, [&](window::Dialog& dialog, window::MessageId m, window::WParam,
                                              window::LParam) -> std::intptr_t {
    if (m != window::msg::kInitDialog) return 0;
    for (const auto& c : cases) {
      dialog.SetItemText(1089, c.text);
      EXPECT_EQ(kit::DialogReadInt(dialog, 1089, c.minimum, c.maximum), c.expected) << c.text;
    }
    EXPECT_EQ(kit::DialogReadInt(dialog, 4242, -5, 5), 0) << "a missing control reads as empty";
    dialog.End(0);
    return 1;
  });
}

}  // namespace
