// Computer-keyboard play from the windows that take it: the keyboard field,
// the floating preview and the patch list each give one note on per press and
// one note off per release, however often the key repeats; and the dialog's
// keyboard field and About command.
#include <QAbstractButton>
#include <QAction>
#include <QKeyEvent>
#include <QLineEdit>

#include "floating_preview/floating_preview.h"
#include "main_dialog_fixture.h"

namespace uitest {
namespace {

class KeyboardPlayTest : public MainDialogTest {
 protected:
  void SetUp() override {
    MainDialogTest::dialog.reset();
    ui::MainDialogServices services;
    services.performer = &performer;
    services.kinds = &kinds;
    services.dialogs = &dialogs;
    services.display = &display;
    services.keyNoteMap = [](int key) { return key == 'Q' ? 25 : key == 'W' ? 26 : -1; };
    services.showTitleWindow = [this] { ++abouts; };
    dialog = std::make_unique<ui::MainDialog>(services);
    dialog->show();
    NewPerformance();
    Assign(25, 0);
    Assign(26, 0);
    journal.Clear();
  }
  void UseKeyboard() { static_cast<QAbstractButton*>(dialog->Item(ids::kUseKeyboard))->click(); }
  static void Key(QWidget* to, QEvent::Type type, int key, bool repeat = false, const QString& text = {}) {
    QKeyEvent event(type, key, Qt::NoModifier, text, repeat);
    QApplication::sendEvent(to, &event);
  }
  QLineEdit* Field() const { return static_cast<QLineEdit*>(dialog->Item(ids::kKeyboardField)); }

  int abouts = 0;
};

TEST_F(KeyboardPlayTest, HeldKeyGivesOneNoteOnAndOneNoteOffInEveryWindow) {
  UseKeyboard();
  ui::FloatingPreview::Links links;
  links.performer = &performer;
  links.keys = dialog->KeyboardPlayTargets();
  ui::FloatingPreview preview(std::move(links));
  ASSERT_TRUE(preview.Toggle());
  const struct {
    const char* what;
    QWidget* window;
  } receivers[] = {{"keyboard field", Field()}, {"floating preview", preview.Window()}, {"patch list", &dialog->List()}};
  for (const auto& receiver : receivers) {
    SCOPED_TRACE(receiver.what);
    journal.Clear();
    Key(receiver.window, QEvent::KeyPress, Qt::Key_Q);
    for (int i = 0; i < 5; ++i) {
      // X11 sends the repeats' releases too.
      Key(receiver.window, QEvent::KeyRelease, Qt::Key_Q, true);
      Key(receiver.window, QEvent::KeyPress, Qt::Key_Q, true);
    }
    performer.RunPass();
    EXPECT_EQ(journal.Matching("on:").size(), 1u);
    EXPECT_TRUE(performer.IsHeld(25, 0));
    Key(receiver.window, QEvent::KeyRelease, Qt::Key_Q);
    performer.RunPass();
    EXPECT_EQ(journal.Matching("off:").size(), 1u);
    EXPECT_FALSE(performer.IsHeld(25, 0));
  }
}

TEST_F(KeyboardPlayTest, TheFieldPlaysOnlyWhileUseKeyboardIsChecked) {
  UseKeyboard();
  EXPECT_TRUE(Field()->isVisible());
  Key(Field(), QEvent::KeyPress, Qt::Key_W, false, "w");
  Key(Field(), QEvent::KeyPress, Qt::Key_X, false, "x");  // not in the map: swallowed
  performer.RunPass();
  EXPECT_TRUE(performer.IsHeld(26, 0));
  Key(Field(), QEvent::KeyRelease, Qt::Key_W);
  performer.RunPass();
  EXPECT_FALSE(performer.IsHeld(26, 0));

  UseKeyboard();  // off
  EXPECT_FALSE(Field()->isVisible());
  journal.Clear();
  Key(Field(), QEvent::KeyPress, Qt::Key_W, false, "w");
  performer.RunPass();
  EXPECT_TRUE(journal.Matching("on:").empty()) << "the field has its own keys back";
}

TEST_F(KeyboardPlayTest, TheFieldsBacktickGoesFullAndLeftRightStepBanks) {
  Current()->CreateBank(8);
  UseKeyboard();
  Key(Field(), QEvent::KeyPress, Qt::Key_Right);
  Deliver();
  EXPECT_EQ(Current()->currentBankNumber, 8);
  Key(Field(), QEvent::KeyPress, Qt::Key_Right, true);
  Key(Field(), QEvent::KeyPress, Qt::Key_Left);
  Deliver();
  EXPECT_EQ(Current()->currentBankNumber, 0) << "a repeat is swallowed, Left steps back";
  Key(Field(), QEvent::KeyPress, Qt::Key_QuoteLeft);
  Deliver();
  EXPECT_EQ(display.calls, std::vector<bool>{true});
}

TEST_F(KeyboardPlayTest, AboutShowsTheTitleWindow) {
  QAction* about = dialog->MenuAction(ids::kMenuAbout);
  ASSERT_NE(about, nullptr);
  dialog->UpdateCommandStates();
  EXPECT_TRUE(about->isEnabled());
  about->trigger();
  EXPECT_EQ(abouts, 1);
}

}  // namespace
}  // namespace uitest
