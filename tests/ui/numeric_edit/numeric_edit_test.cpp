// The number field on real widgets: what typing, pasting and stepping leave
// in the text for each kind, and that no other way in skips the filter.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QMimeData>
#include <QTest>
#include <string>

#include "numeric_edit/numeric_edit.h"

namespace ui {
namespace {

using Kind = NumericEdit::Kind;

class NumericEditTest : public ::testing::Test {
 protected:
  void SetUp() override {
    NumericEdit::SetBeep([this] { ++beeps_; });
  }
  void TearDown() override { NumericEdit::SetBeep(nullptr); }

  // A field of `kind` showing `text` with `length` characters from `start`
  // selected (a length of 0 leaves the caret at the end).
  static void Prepare(NumericEdit& edit, const char* text, int start = 0, int length = 0) {
    edit.setText(QString::fromLatin1(text));
    if (length > 0) edit.setSelection(start, length);
  }

  static void Mouse(NumericEdit& edit, QEvent::Type type, QPoint at, Qt::MouseButton button,
                    Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(Qt::LeftButton);
    QMouseEvent event(type, at, edit.mapToGlobal(at), button, held, modifiers);
    QApplication::sendEvent(&edit, &event);
  }

  int beeps_ = 0;
};

struct TypeCase {
  Kind kind;
  const char* text;
  int selectionStart, selectionLength;
  char typed;
  const char* expected;
};

TEST_F(NumericEditTest, TypedCharactersPassOrBeepByKind) {
  const TypeCase cases[] = {
      {NumericEdit::kFloat, "-5", 0, 0, '-', "-5"},     // a second minus
      {NumericEdit::kFloat, "-5", 0, 1, '-', "-5"},     // replaces the selected one
      {NumericEdit::kFloat, "1.5", 0, 0, '.', "1.5"},   // a second point
      {NumericEdit::kFloat, "1.5", 1, 1, '.', "1.5"},   // over the point itself
      {NumericEdit::kFloat, "15", 0, 0, '.', "15."},
      {NumericEdit::kFloat, "1", 0, 0, 'e', "1"},
      {NumericEdit::kFloat, "1", 0, 0, ' ', "1"},
      {NumericEdit::kFloat, "1", 0, 0, ',', "1"},       // no decimal comma, whatever the locale
      {NumericEdit::kFloat, "1", 0, 0, '+', "1"},
      {NumericEdit::kFloat, "1", 0, 0, '7', "17"},
      {NumericEdit::kNonNegativeFloat, "2", 0, 0, '-', "2"},
      {NumericEdit::kNonNegativeFloat, "1.5", 0, 0, '.', "1.5"},
      {NumericEdit::kNonNegativeFloat, "1.5", 0, 3, '.', "."},
      {NumericEdit::kInteger, "3", 0, 0, '.', "3"},
      {NumericEdit::kInteger, "", 0, 0, '-', "-"},
      {NumericEdit::kInteger, "3", 0, 0, 'x', "3"},
      {NumericEdit::kUnsigned, "3", 0, 0, '-', "3"},
      {NumericEdit::kUnsigned, "3", 0, 0, '.', "3"},
      {NumericEdit::kUnsigned, "3", 0, 0, '9', "39"},
  };
  for (const TypeCase& c : cases) {
    NumericEdit edit(c.kind);
    Prepare(edit, c.text, c.selectionStart, c.selectionLength);
    const int beepsBefore = beeps_;
    QTest::keyClick(&edit, c.typed);
    const std::string expected = c.expected;
    const bool refused = expected == c.text && !(c.selectionLength > 0);
    EXPECT_EQ(edit.text().toStdString(), expected) << "kind " << c.kind << " '" << c.text << "' + '" << c.typed << "'";
    EXPECT_EQ(beeps_ - beepsBefore, refused ? 1 : 0) << "kind " << c.kind << " '" << c.text << "' + '" << c.typed << "'";
  }
}

TEST_F(NumericEditTest, ControlKeysAndShortcutsAreNotFiltered) {
  NumericEdit edit(NumericEdit::kFloat);
  Prepare(edit, "12.5");
  QTest::keyClick(&edit, Qt::Key_Backspace);
  EXPECT_EQ(edit.text(), "12.");
  QTest::keyClick(&edit, Qt::Key_A, Qt::ControlModifier);  // select all, not the letter
  EXPECT_EQ(edit.selectedText(), "12.");
  EXPECT_EQ(beeps_, 0);
}

struct PasteCase {
  Kind kind;
  const char* text;
  int selectionStart, selectionLength;
  std::string pasted;
  const char* expected;  // null: refused, text unchanged
};

TEST_F(NumericEditTest, PasteLandsWholeOverTheSelectionOrNotAtAll) {
  const PasteCase cases[] = {
      {NumericEdit::kFloat, "5", 0, 0, "12a", nullptr},
      {NumericEdit::kUnsigned, "5", 0, 0, "12a", nullptr},
      {NumericEdit::kFloat, "3.45", 2, 2, "12", "3.12"},
      {NumericEdit::kFloat, "-5", 0, 0, "-2", nullptr},   // the minus is already there
      {NumericEdit::kFloat, "-5", 0, 2, "-2", "-2"},
      {NumericEdit::kInteger, "7", 0, 0, "1.5", nullptr},
      {NumericEdit::kFloat, "", 0, 0, std::string(255, '1'), "255 ones"},
      {NumericEdit::kFloat, "", 0, 0, std::string(256, '1'), nullptr},
  };
  for (const PasteCase& c : cases) {
    NumericEdit edit(c.kind);
    Prepare(edit, c.text, c.selectionStart, c.selectionLength);
    QApplication::clipboard()->setText(QString::fromStdString(c.pasted));
    const int beepsBefore = beeps_;
    QTest::keyClick(&edit, Qt::Key_V, Qt::ControlModifier);
    const std::string label = "paste '" + c.pasted.substr(0, 8) + "' into '" + c.text + "'";
    if (c.expected == nullptr) {
      EXPECT_EQ(edit.text().toStdString(), c.text) << label;
      EXPECT_EQ(beeps_ - beepsBefore, 1) << label;
    } else {
      const std::string expected = std::string(c.expected) == "255 ones" ? c.pasted : c.expected;
      EXPECT_EQ(edit.text().toStdString(), expected) << label;
      EXPECT_EQ(edit.selectedText().toStdString(), c.pasted) << label;  // the pasted part is selected
    }
  }
}

TEST_F(NumericEditTest, EveryOtherWayInIsFilteredOrClosed) {
  NumericEdit edit(NumericEdit::kFloat);
  Prepare(edit, "5");
  QApplication::clipboard()->setText("1x");

  QTest::keyClick(&edit, Qt::Key_Insert, Qt::ShiftModifier);
  edit.RunMenuCommand(NumericEdit::kPaste);
  EXPECT_EQ(edit.text(), "5");
  EXPECT_EQ(beeps_, 2);

  // The X11 selection, where the platform has one; without it a middle click
  // must not fall back to inserting anything.
  if (QApplication::clipboard()->supportsSelection()) QApplication::clipboard()->setText("2y", QClipboard::Selection);
  Mouse(edit, QEvent::MouseButtonPress, {5, 5}, Qt::MiddleButton);
  Mouse(edit, QEvent::MouseButtonRelease, {5, 5}, Qt::MiddleButton);
  EXPECT_EQ(edit.text(), "5");
  if (QApplication::clipboard()->supportsSelection()) {
    QApplication::clipboard()->setText("2", QClipboard::Selection);
    Mouse(edit, QEvent::MouseButtonPress, {5, 5}, Qt::MiddleButton);
    Mouse(edit, QEvent::MouseButtonRelease, {5, 5}, Qt::MiddleButton);
    EXPECT_EQ(edit.text(), "52");
    edit.setText("5");
  }

  QMimeData dropped;
  dropped.setText("9");
  QDragEnterEvent enter({5, 5}, Qt::CopyAction, &dropped, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&edit, &enter);
  EXPECT_FALSE(enter.isAccepted());
  QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &dropped, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&edit, &drop);
  EXPECT_EQ(edit.text(), "5");

  QInputMethodEvent composed(QString(), {});
  composed.setCommitString("3z");
  QApplication::sendEvent(&edit, &composed);
  EXPECT_EQ(edit.text(), "5");
  composed.setCommitString("3");
  QApplication::sendEvent(&edit, &composed);
  EXPECT_EQ(edit.text(), "53");

  // The context menu's Paste goes through the same filter.
  QApplication::clipboard()->setText("4");
  edit.selectAll();
  edit.RunMenuCommand(NumericEdit::kPaste);
  EXPECT_EQ(edit.text(), "4");
}

TEST_F(NumericEditTest, ContextMenuEnablesByUndoAndSelection) {
  NumericEdit edit(NumericEdit::kFloat);
  Prepare(edit, "12");
  auto enabled = [&edit](NumericEdit::MenuCommand command) {
    for (const NumericEdit::MenuItem& item : edit.ContextMenuItems())
      if (item.command == command) return item.enabled;
    return false;
  };
  EXPECT_FALSE(enabled(NumericEdit::kCut));
  EXPECT_FALSE(enabled(NumericEdit::kDelete));
  EXPECT_TRUE(enabled(NumericEdit::kPaste));
  edit.RunMenuCommand(NumericEdit::kSelectAll);
  EXPECT_TRUE(enabled(NumericEdit::kCopy));
  edit.RunMenuCommand(NumericEdit::kDelete);
  EXPECT_EQ(edit.text(), "");
  EXPECT_TRUE(enabled(NumericEdit::kUndo));
}

enum class Stepper { Up, Down, PageUp, PageDown, ShiftUp, ShiftPageUp, Wheel };

struct StepCase {
  Kind kind;
  float smallStep, largeStep, minimum, maximum;  // float kinds; integer kinds keep their defaults
  const char* text;
  Stepper step;
  int wheel;
  const char* expected;
  bool stepped;  // the text read as a number and the kind steps that way
};

void Apply(NumericEdit& edit, Stepper step, int wheel) {
  switch (step) {
    case Stepper::Up: QTest::keyClick(&edit, Qt::Key_Up); break;
    case Stepper::Down: QTest::keyClick(&edit, Qt::Key_Down); break;
    case Stepper::PageUp: QTest::keyClick(&edit, Qt::Key_PageUp); break;
    case Stepper::PageDown: QTest::keyClick(&edit, Qt::Key_PageDown); break;
    case Stepper::ShiftUp: QTest::keyClick(&edit, Qt::Key_Up, Qt::ShiftModifier); break;
    case Stepper::ShiftPageUp: QTest::keyClick(&edit, Qt::Key_PageUp, Qt::ShiftModifier); break;
    case Stepper::Wheel: {
      QWheelEvent event({5, 5}, edit.mapToGlobal(QPoint(5, 5)), {}, {0, wheel}, Qt::NoButton, Qt::NoModifier,
                        Qt::NoScrollPhase, false);
      QApplication::sendEvent(&edit, &event);
      break;
    }
  }
}

TEST_F(NumericEditTest, StepsClampAndFormatByKind) {
  constexpr Kind F = NumericEdit::kFloat, N = NumericEdit::kNonNegativeFloat;
  constexpr Kind I = NumericEdit::kInteger, U = NumericEdit::kUnsigned;
  const StepCase cases[] = {
      // An LFO "Min" field.
      {F, 1, 5, -100, 100, "99.50", Stepper::Up, 0, "100.00", true},
      {F, 1, 5, -100, 100, "99.50", Stepper::PageDown, 0, "94.50", true},
      {F, 1, 5, -100, 100, "10.00", Stepper::ShiftUp, 0, "20.00", true},
      {F, 1, 5, -100, 100, "0", Stepper::ShiftPageUp, 0, "50.00", true},
      {F, 1, 5, -100, 100, "-99", Stepper::Down, 0, "-100.00", true},
      {F, 1, 5, -100, 100, "", Stepper::Up, 0, "", false},  // nothing to step from
      {F, 1, 5, -100, 100, "-", Stepper::Up, 0, "-", false},
      // One notch of a Rate field adds 0.025 (shown rounded), ten add 0.25.
      {F, 0.05f, 0.5f, 0, 100, "0", Stepper::Wheel, 120, "0.03", true},
      {F, 0.05f, 0.5f, 0, 100, "1", Stepper::Wheel, 1200, "1.25", true},
      // The non-negative kind leaves keys to the text and stops at 0.
      {N, 0, 0, 0, 0, "1.00", Stepper::Up, 0, "1.00", false},
      {N, 0, 0, 0, 0, "3", Stepper::Wheel, -120, "0.00", true},
      {N, 0, 0, 0, 0, "3", Stepper::Wheel, 120, "13.00", true},
      // Integer kinds: steps 1 and 10, 5 per wheel notch, their own limits.
      {I, 0, 0, 0, 0, "3", Stepper::Up, 0, "4", true},
      {I, 0, 0, 0, 0, "3", Stepper::PageDown, 0, "-7", true},
      {I, 0, 0, 0, 0, "3", Stepper::ShiftUp, 0, "4", true},
      {I, 0, 0, 0, 0, "3", Stepper::Wheel, -120, "-2", true},
      {I, 0, 0, 0, 0, "2147483647", Stepper::Up, 0, "2147483647", true},
      {I, 0, 0, 0, 0, "-2147483648", Stepper::PageDown, 0, "-2147483648", true},
      {U, 0, 0, 0, 0, "3", Stepper::Wheel, -120, "0", true},
      {U, 0, 0, 0, 0, "0", Stepper::Down, 0, "0", true},
      {U, 0, 0, 0, 0, "4294967290", Stepper::PageUp, 0, "4294967295", true},
      {U, 0, 0, 0, 0, "12", Stepper::Wheel, 60, "14", true},  // half a notch: 60 / 24
  };
  for (const StepCase& c : cases) {
    NumericEdit edit(c.kind);
    if (edit.IsFloatKind()) edit.SetFloatLimits(c.smallStep, c.largeStep, c.minimum, c.maximum);
    Prepare(edit, c.text);
    Apply(edit, c.step, c.wheel);
    EXPECT_EQ(edit.text().toStdString(), c.expected)
        << "kind " << c.kind << " '" << c.text << "' step " << static_cast<int>(c.step);
    EXPECT_EQ(edit.ChangedByStepping(), c.stepped) << "kind " << c.kind << " '" << c.text << "'";
  }
}

TEST_F(NumericEditTest, StepKeepsTheSelectionAndTypingClearsTheSteppingFlag) {
  NumericEdit edit(NumericEdit::kFloat);
  Prepare(edit, "12.00", 0, 2);
  QTest::keyClick(&edit, Qt::Key_Up);
  EXPECT_EQ(edit.text(), "13.00");
  EXPECT_EQ(edit.selectedText(), "13");
  EXPECT_TRUE(edit.ChangedByStepping());
  QTest::keyClick(&edit, '4');
  EXPECT_EQ(edit.text(), "4.00");
  EXPECT_FALSE(edit.ChangedByStepping());
}

TEST_F(NumericEditTest, VerticalDragStepsAndHorizontalStartSelectsText) {
  NumericEdit edit(NumericEdit::kFloat);
  edit.resize(100, 30);
  edit.SetFloatLimits(1, 5, -100, 100);

  // Up 25 pixels with Shift: offsets snap to -10 and -20, 20 small steps.
  Prepare(edit, "0");
  Mouse(edit, QEvent::MouseButtonPress, {10, 40}, Qt::LeftButton);
  Mouse(edit, QEvent::MouseMove, {10, 36}, Qt::NoButton);  // decides: a drag
  EXPECT_EQ(edit.text(), "0");
  Mouse(edit, QEvent::MouseMove, {10, 25}, Qt::NoButton, Qt::ShiftModifier);
  EXPECT_EQ(edit.text(), "10.00");
  Mouse(edit, QEvent::MouseMove, {10, 15}, Qt::NoButton, Qt::ShiftModifier);
  EXPECT_EQ(edit.text(), "20.00");
  Mouse(edit, QEvent::MouseMove, {10, 25}, Qt::NoButton);  // 15 above the press, without Shift
  EXPECT_EQ(edit.text(), "15.00");
  Mouse(edit, QEvent::MouseButtonRelease, {10, 25}, Qt::LeftButton);
  Mouse(edit, QEvent::MouseMove, {10, 0}, Qt::NoButton);  // released: no more steps
  EXPECT_EQ(edit.text(), "15.00");

  // Sideways first: never a drag, however far it then goes up.
  Prepare(edit, "0");
  Mouse(edit, QEvent::MouseButtonPress, {10, 40}, Qt::LeftButton);
  Mouse(edit, QEvent::MouseMove, {15, 40}, Qt::NoButton);
  Mouse(edit, QEvent::MouseMove, {15, 0}, Qt::NoButton);
  Mouse(edit, QEvent::MouseButtonRelease, {15, 0}, Qt::LeftButton);
  EXPECT_EQ(edit.text(), "0");

  // The reversed field grows downwards, counted from the press.
  edit.SetReverseDrag(true);
  Mouse(edit, QEvent::MouseButtonPress, {10, 10}, Qt::LeftButton);
  Mouse(edit, QEvent::MouseMove, {10, 15}, Qt::NoButton);
  Mouse(edit, QEvent::MouseMove, {10, 17}, Qt::NoButton);
  EXPECT_EQ(edit.text(), "7.00");
}

TEST_F(NumericEditTest, SetAndReadUseTheCLocaleAndTheRange) {
  NumericEdit edit(NumericEdit::kFloat);
  edit.SetFloatLimits(1, 5, -100, 100);
  edit.SetFloat(1234.5f);
  EXPECT_EQ(edit.text(), "100.00");
  edit.SetFloat(-0.125f);
  EXPECT_EQ(edit.text(), "-0.12");  // the binary tie rounds to even, as printf does
  float value = 0.0f;
  edit.setText("  +2.5xyz");
  ASSERT_TRUE(edit.ReadFloat(value));
  EXPECT_EQ(value, 2.5f);
  for (const char* unreadable : {"", "-", ".", "+-1", "inf", "nan"}) {
    edit.setText(unreadable);
    EXPECT_FALSE(edit.ReadFloat(value)) << unreadable;
  }

  NumericEdit integer(NumericEdit::kInteger);
  int32_t read = 0;
  integer.setText("-42.9");
  ASSERT_TRUE(integer.ReadInt(read));
  EXPECT_EQ(read, -42);
  integer.setText("99999999999");
  EXPECT_FALSE(integer.ReadInt(read));
  NumericEdit unsignedEdit(NumericEdit::kUnsigned);
  unsignedEdit.SetUnsigned(4000000000u);
  EXPECT_EQ(unsignedEdit.text(), "4000000000");
  unsignedEdit.SetInt(-3);
  EXPECT_EQ(unsignedEdit.text(), "0");
}

}  // namespace
}  // namespace ui
