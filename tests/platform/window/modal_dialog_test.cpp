// A plug-in settings dialog built from a template and driven like a user:
// the layout, the procedure's messages, OK and Cancel results.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <optional>
#include <string>

#include "dialog_fixture.h"
#include "modal_driver.h"
#include "platform/window/dialog.h"
#include "platform/window/qt_window_handle.h"

namespace {

using namespace window;

// The shape every effect's dialog shares: source name and chooser button,
// two velocity boxes that disable the volume and pan fields, OK and Cancel.
DialogTemplate SettingsTemplate() {
  return {173, "Edit Display Source Parameters", 200, 120, {
      {ControlKind::kStatic, 1012, "", 10, 10, 120, 10},
      {ControlKind::kButton, 1014, "S&ource", 140, 8, 50, 14},
      {ControlKind::kCheckBox, 1015, "&Erase on Note Off", 10, 25, 120, 10},
      {ControlKind::kGroupBox, -1, "Audio Parameters", 5, 40, 190, 50},
      {ControlKind::kEdit, 1089, "", 10, 52, 30, 12, kNumberOnly},
      {ControlKind::kSpin, 1091, "", 40, 52, 10, 12},
      {ControlKind::kCheckBox, 1092, "Velocity", 55, 52, 50, 10},
      {ControlKind::kEdit, 1090, "", 10, 70, 30, 12, kNumberOnly},
      {ControlKind::kSpin, 1093, "", 40, 70, 10, 12},
      {ControlKind::kCheckBox, 1094, "Velocity", 55, 70, 50, 10},
      {ControlKind::kButton, kIdOk, "OK", 90, 100, 50, 14, kDefaultButton},
      {ControlKind::kButton, kIdCancel, "Cancel", 145, 100, 50, 14},
  }};
}

struct Instance {
  std::optional<std::string> sourceName;
  unsigned options = 0;  // bit 0 erase, bit 1 volume follows velocity, bit 2 pan follows velocity
  int volume = 127;
  int pan = 64;
};

int ReadInt(Dialog& dialog, int id, int minimum, int maximum) {
  const std::string text = dialog.GetItemText(id, 10);
  const int value = std::atoi(text.c_str());
  return value < minimum ? minimum : value > maximum ? maximum : value;
}

void UpdateVelocityControls(Dialog& dialog) {
  const bool volumeTyped = dialog.GetCheck(1092) != CheckState::kChecked;
  dialog.EnableItem(1089, volumeTyped);
  dialog.EnableItem(1091, volumeTyped);
  const bool panTyped = dialog.GetCheck(1094) != CheckState::kChecked;
  dialog.EnableItem(1090, panTyped);
  dialog.EnableItem(1093, panTyped);
}

struct SettingsRun {
  explicit SettingsRun(Instance* instance) : instance(instance) {}
  Instance* instance;
  int sourceChooserOpened = 0;
  std::vector<MessageId> messages;
};

std::intptr_t SettingsProc(SettingsRun& run, Dialog& dialog, MessageId message, WParam w, LParam l) {
  run.messages.push_back(message);
  Instance& instance = *run.instance;
  switch (message) {
    case msg::kInitDialog:
      EXPECT_EQ(reinterpret_cast<Instance*>(l), run.instance);
      if (instance.sourceName) dialog.SetItemText(1012, *instance.sourceName);
      dialog.CheckButton(1015, (instance.options & 1) ? CheckState::kChecked : CheckState::kUnchecked);
      dialog.CheckButton(1092, (instance.options & 2) ? CheckState::kChecked : CheckState::kUnchecked);
      dialog.CheckButton(1094, (instance.options & 4) ? CheckState::kChecked : CheckState::kUnchecked);
      dialog.SetRange(1091, 0, 127);
      dialog.SetPosition(1091, instance.volume);
      dialog.SetRange(1093, -63, 63);
      dialog.SetPosition(1093, instance.pan - 64);
      if (!instance.sourceName) dialog.Post(msg::kCommand, MakeCommand(1014), 0);
      UpdateVelocityControls(dialog);
      return 1;
    case msg::kCommand:
      if (CommandCode(w) == NotifyCode::kClicked) UpdateVelocityControls(dialog);
      switch (CommandId(w)) {
        case 1014:
          ++run.sourceChooserOpened;
          instance.sourceName = "Camera:";
          dialog.SetItemText(1012, *instance.sourceName);
          return 1;
        case kIdOk:
          instance.options = (dialog.GetCheck(1015) == CheckState::kChecked ? 1u : 0u) |
                             (dialog.GetCheck(1092) == CheckState::kChecked ? 2u : 0u) |
                             (dialog.GetCheck(1094) == CheckState::kChecked ? 4u : 0u);
          instance.volume = ReadInt(dialog, 1089, 0, 127);
          instance.pan = ReadInt(dialog, 1090, -63, 63) + 64;
          dialog.End(1);
          return 1;
        case kIdCancel:
          dialog.End(0);
          return 1;
      }
      return 0;
    case msg::kClose:
      dialog.End(0);
      return 1;
  }
  return 0;
}

std::intptr_t RunSettings(SettingsRun& run) {
  DialogTemplateSet templates;
  templates.Add(SettingsTemplate());
  return RunModalDialog(templates, 173, nullptr,
                        [&run](Dialog& d, MessageId m, WParam w, LParam l) { return SettingsProc(run, d, m, w, l); },
                        reinterpret_cast<LParam>(run.instance));
}

template <typename W>
W* Child(QWidget* dialog, int id) {
  W* child = dialog->findChild<W*>(QString::number(id));
  EXPECT_NE(child, nullptr) << "control " << id;
  return child;
}

TEST(SettingsDialog, OkReadsTheControlsBack) {
  Instance instance;
  instance.volume = 100;
  instance.pan = 74;
  SettingsRun run(&instance);
  WhenModal<QDialog>([](QDialog* dialog) {
    EXPECT_EQ(dialog->windowTitle(), "Edit Display Source Parameters");
    // The posted click on "S&ource" came in before anything else.
    EXPECT_EQ(Child<QLabel>(dialog, 1012)->text(), "Camera:");
    EXPECT_EQ(Child<QLineEdit>(dialog, 1089)->text(), "100");
    EXPECT_EQ(Child<QLineEdit>(dialog, 1090)->text(), "10");
    QTest::mouseClick(Child<QCheckBox>(dialog, 1092), Qt::LeftButton);
    EXPECT_FALSE(Child<QLineEdit>(dialog, 1089)->isEnabled()) << "a velocity-driven volume needs no typed value";
    EXPECT_TRUE(Child<QLineEdit>(dialog, 1090)->isEnabled());
    QLineEdit* pan = Child<QLineEdit>(dialog, 1090);
    pan->clear();
    QTest::keyClicks(pan, "-70");
    QTest::mouseClick(Child<QCheckBox>(dialog, 1015), Qt::LeftButton);
    QTest::mouseClick(Child<QPushButton>(dialog, kIdOk), Qt::LeftButton);
  });
  EXPECT_EQ(RunSettings(run), 1);
  EXPECT_EQ(run.sourceChooserOpened, 1);
  EXPECT_EQ(instance.sourceName, "Camera:");
  EXPECT_EQ(instance.options, 3u);
  EXPECT_EQ(instance.volume, 100);
  EXPECT_EQ(instance.pan, 1) << "-70 is clamped to -63 and stored plus 64";
  ASSERT_FALSE(run.messages.empty());
  EXPECT_EQ(run.messages.front(), msg::kInitDialog);
  EXPECT_EQ(run.messages.back(), msg::kDestroy);
}

TEST(SettingsDialog, EscapeAndTheCloseBoxCancel) {
  for (const bool useCloseBox : {false, true}) {
    Instance instance;
    instance.sourceName = "clip.avi";
    instance.options = 1;
    SettingsRun run(&instance);
    WhenModal<QDialog>([useCloseBox](QDialog* dialog) {
      EXPECT_EQ(Child<QLabel>(dialog, 1012)->text(), "clip.avi");
      EXPECT_TRUE(Child<QCheckBox>(dialog, 1015)->isChecked());
      QTest::mouseClick(Child<QCheckBox>(dialog, 1015), Qt::LeftButton);
      if (useCloseBox) {
        dialog->close();
      } else {
        QTest::keyClick(dialog, Qt::Key_Escape);
      }
    });
    EXPECT_EQ(RunSettings(run), 0);
    EXPECT_EQ(run.sourceChooserOpened, 0) << "with a source name the chooser does not open by itself";
    EXPECT_EQ(instance.options, 1u) << "Cancel changes nothing";
    EXPECT_EQ(std::count(run.messages.begin(), run.messages.end(), msg::kClose), useCloseBox ? 1 : 0);
  }
}

TEST(SettingsDialog, EnterPressesTheDefaultButton) {
  Instance instance;
  instance.sourceName = "clip.avi";
  SettingsRun run(&instance);
  WhenModal<QDialog>([](QDialog* dialog) {
    QLineEdit* volume = Child<QLineEdit>(dialog, 1089);
    volume->setFocus();
    volume->clear();
    QTest::keyClicks(volume, "300");
    QTest::keyClick(volume, Qt::Key_Return);
  });
  EXPECT_EQ(RunSettings(run), 1);
  EXPECT_EQ(instance.volume, 127);
}

TEST(ModalDialog, SpinArrowsMoveTheBuddyAndCanBeRefused) {
  DialogFixture fixture({0, "Spin", 100, 40, {
      {ControlKind::kEdit, 1060, "", 5, 5, 30, 12},
      {ControlKind::kSpin, 1061, "", 35, 5, 10, 12},
  }});
  bool refuse = false;
  std::vector<Notification> notes;
  fixture.Run(
      [](Dialog& dialog) {
        dialog.SetRange(1061, 1, 999);
        dialog.SetPosition(1061, 12);
      },
      [&](Dialog& dialog, QWidget* widget) {
        auto* spin = widget->findChild<QWidget*>("1061");
        auto arrows = spin->findChildren<QToolButton*>();
        ASSERT_EQ(arrows.size(), 2);
        QToolButton* up = arrows[0]->arrowType() == Qt::UpArrow ? arrows[0] : arrows[1];
        QTest::mouseClick(up, Qt::LeftButton);
        EXPECT_EQ(dialog.GetItemText(1060), "13");
        EXPECT_EQ(dialog.GetPosition(1061), 13);
        // A height typed into the buddy is where the next step starts.
        dialog.SetItemText(1060, "40");
        QTest::mouseClick(up, Qt::LeftButton);
        EXPECT_EQ(dialog.GetPosition(1061), 41);
        refuse = true;
        QTest::mouseClick(up, Qt::LeftButton);
        EXPECT_EQ(dialog.GetPosition(1061), 41);
        refuse = false;
        dialog.SetPosition(1061, 999);
        QTest::mouseClick(up, Qt::LeftButton);
        EXPECT_EQ(dialog.GetItemText(1060), "999") << "the position stays within the range";
      },
      [&](Dialog&, MessageId message, WParam, LParam l) -> std::intptr_t {
        if (message != msg::kNotify) return 0;
        notes.push_back(*reinterpret_cast<const Notification*>(l));
        return refuse ? 1 : 0;
      });
  ASSERT_EQ(notes.size(), 4u);
  EXPECT_EQ(notes[0].controlId, 1061);
  EXPECT_EQ(notes[0].code, NotificationCode::kSpinDelta);
  EXPECT_EQ(notes[0].position, 12);
  EXPECT_EQ(notes[0].delta, 1);
  EXPECT_EQ(notes[1].position, 40);
}

TEST(ModalDialog, EndDuringInitReturnsWithoutShowingAndDestroyComesLast) {
  DialogTemplateSet templates;
  templates.Add({105, "Select A Note", 100, 40, {{ControlKind::kEdit, 1010, "", 5, 5, 40, 12}}});
  std::vector<MessageId> messages;
  const std::intptr_t result = RunModalDialog(templates, 105, nullptr, [&](Dialog& dialog, MessageId m, WParam, LParam) {
    messages.push_back(m);
    if (m == msg::kInitDialog) dialog.End(-1);
    return std::intptr_t{1};
  });
  EXPECT_EQ(result, -1);
  EXPECT_EQ(messages, (std::vector<MessageId>{msg::kInitDialog, msg::kDestroy}));
}

TEST(ModalDialog, MissingTemplateGivesMinusOne) {
  DialogTemplateSet templates;
  templates.Add({101, "", 10, 10, {}});
  bool called = false;
  EXPECT_EQ(RunModalDialog(templates, 102, nullptr, [&](Dialog&, MessageId, WParam, LParam) {
              called = true;
              return std::intptr_t{0};
            }),
            -1);
  EXPECT_FALSE(called);
}

TEST(ModalDialog, PostedUserMessagesAndTimersReachTheProcedure) {
  // Like the note chooser: the first note posted to it ends it with that note.
  DialogTemplateSet templates;
  templates.Add({105, "Select A Note", 100, 40, {}});
  int ticks = 0;
  const std::intptr_t note = RunModalDialog(templates, 105, nullptr, [&](Dialog& dialog, MessageId m, WParam w, LParam l) {
    switch (m) {
      case msg::kInitDialog:
        dialog.SetTimer(7, 1);
        return std::intptr_t{1};
      case msg::kTimer:
        EXPECT_EQ(w, 7u);
        if (++ticks == 3) {
          dialog.KillTimer(7);
          dialog.Post(msg::kUser + 1, 0, 60);
          dialog.Post(msg::kUser + 1, 0, 61);
        }
        return std::intptr_t{1};
      case msg::kUser + 1:
        dialog.End(l);
        return std::intptr_t{1};
    }
    return std::intptr_t{0};
  });
  EXPECT_EQ(note, 60) << "messages after the end are not delivered";
  EXPECT_EQ(ticks, 3);
}

}  // namespace
