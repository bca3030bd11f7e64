#pragma once
// A one-line field that holds a number: typing is filtered per character,
// the value steps with Up/Down, PageUp/PageDown, the wheel and a vertical
// drag, every stepped value is clamped and written in a fixed format, and
// nothing reaches the text unfiltered (paste, the X11 selection, drops and
// input methods included). Numbers are written and read in the C locale
// whatever the user's locale is. The owner reads the value back from the
// text on textChanged.
#include <QLineEdit>
#include <QClipboard>
#include <cstdint>
#include <functional>
#include <vector>

namespace ui {

class NumericEdit : public QLineEdit {
 public:
  enum Kind : uint32_t { kUnsigned = 0, kInteger = 1, kNonNegativeFloat = 2, kFloat = 3 };

  // Commands of the field's context menu; 0 is a separator.
  enum MenuCommand : int { kSeparator = 0, kUndo, kCut, kCopy, kPaste, kDelete, kSelectAll };
  struct MenuItem {
    MenuCommand command;
    const char* text;  // null for a separator
    bool enabled;
  };

  explicit NumericEdit(Kind kind, QWidget* parent = nullptr);

  Kind NumberKind() const { return kind_; }
  bool IsFloatKind() const { return kind_ >= kNonNegativeFloat; }

  // Steps and range of the float kinds. A small step of 0 means 1 and 10;
  // a range of 0..0 means the whole range of floats.
  void SetFloatLimits(float smallStep, float largeStep, float minimum, float maximum);
  // The same for the integer kinds; a range of 0..0 means the kind's own
  // integer range (0..4294967295 or -2147483648..2147483647).
  void SetIntegerLimits(int64_t smallStep, int64_t largeStep, int64_t minimum, int64_t maximum);

  float SmallStep() const { return smallStep_; }
  float LargeStep() const { return largeStep_; }
  int64_t IntegerMinimum() const { return intMinimum_; }
  int64_t IntegerMaximum() const { return intMaximum_; }

  // Clamp to the range and show: "%0.2f" for floats, the decimal integer
  // for the integer kinds.
  void SetFloat(float value);
  void SetInt(int32_t value);
  void SetUnsigned(uint32_t value);
  // True and the value only when the text reads as a number.
  bool ReadFloat(float& value) const;
  bool ReadInt(int32_t& value) const;

  // 1 after a key, wheel or drag step, 0 after a typed character.
  bool ChangedByStepping() const { return changedByStepping_; }
  // Dragging down makes the value grow.
  void SetReverseDrag(bool reverse) { reverseDrag_ = reverse; }

  // Whether `c` may be typed into this field with the current text and
  // selection; refused characters beep.
  bool Accepts(QChar c) const;
  // Pastes the text of `mode` through the character filter: all of it over
  // the selection, then selected, or nothing at all (with a beep).
  void FilteredPaste(QClipboard::Mode mode = QClipboard::Clipboard);

  // The context menu for the field as it stands, and what a choice does.
  std::vector<MenuItem> ContextMenuItems() const;
  void RunMenuCommand(MenuCommand command);

  // Refused input beeps; tests listen here (QApplication::beep by default).
  static void SetBeep(std::function<void()> beep);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void inputMethodEvent(QInputMethodEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  struct Selection {
    int start = 0;
    int length = 0;
    int cursor = 0;
  };

  Selection SavedSelection() const;
  void Restore(const Selection& selection);
  bool AcceptsAll(const QString& text) const;
  static void Beep();
  static bool ReadInteger(const QString& text, int64_t& value);
  void ShowInteger(int64_t value);
  // One step: `floatDelta` for the float kinds, `intDelta` for the others.
  // Nothing happens unless the text reads as a number.
  void Step(float floatDelta, int64_t intDelta);
  // The step keys (Up, Down, PageUp, PageDown); false when the key is not one.
  bool StepByKey(const QKeyEvent& event);

  Kind kind_;
  float smallStep_ = 1.0f;
  float largeStep_ = 10.0f;
  float minimum_ = 0.0f;
  float maximum_ = 0.0f;
  int64_t intSmallStep_ = 1;
  int64_t intLargeStep_ = 10;
  int64_t intMinimum_ = 0;
  int64_t intMaximum_ = 0;

  bool pressed_ = false;
  bool dragging_ = false;
  QPoint pressPoint_;
  int lastDragOffset_ = 0;
  bool changedByStepping_ = false;
  bool reverseDrag_ = false;
};

}  // namespace ui
