#include <gtest/gtest.h>

#include "platform/window/qt_keys.h"
#include "platform/window/virtual_keys.h"

namespace {

struct KeyCase {
  int qtKey;
  Qt::KeyboardModifiers modifiers;
  int expected;
};

TEST(VirtualKey, MapsTheKeysOfTheKeyboardMap) {
  const Qt::KeyboardModifiers none;
  const Qt::KeyboardModifiers keypad = Qt::KeypadModifier;
  const KeyCase cases[] = {
      {Qt::Key_A, none, 'A'},
      {Qt::Key_Z, Qt::ShiftModifier, 'Z'},
      {Qt::Key_0, none, '0'},
      {Qt::Key_F1, none, window::vk::kF1},
      {Qt::Key_F12, none, window::vk::kF1 + 11},
      {Qt::Key_Minus, none, window::vk::kMinus},
      {Qt::Key_Equal, none, window::vk::kEquals},
      {Qt::Key_Backspace, none, window::vk::kBackspace},
      {Qt::Key_BracketLeft, none, window::vk::kLeftBracket},
      {Qt::Key_Backslash, none, window::vk::kBackslash},
      {Qt::Key_Apostrophe, none, window::vk::kQuote},
      {Qt::Key_QuoteLeft, none, window::vk::kBacktick},
      {Qt::Key_Slash, none, window::vk::kSlash},
      {Qt::Key_PageUp, none, window::vk::kPageUp},
      // The keypad keys are keys of their own.
      {Qt::Key_7, keypad, window::vk::kNumpad0 + 7},
      {Qt::Key_Slash, keypad, window::vk::kDivide},
      {Qt::Key_Asterisk, keypad, window::vk::kMultiply},
      {Qt::Key_Minus, keypad, window::vk::kSubtract},
      {Qt::Key_Plus, keypad, window::vk::kAdd},
      {Qt::Key_Period, keypad, window::vk::kDecimal},
      // Without Num Lock the keypad sends the navigation keys.
      {Qt::Key_Home, keypad, window::vk::kHome},
      // Shift changes the symbol, not the key.
      {Qt::Key_Exclam, Qt::ShiftModifier, '1'},
      {Qt::Key_Underscore, Qt::ShiftModifier, window::vk::kMinus},
      {Qt::Key_BraceRight, Qt::ShiftModifier, window::vk::kRightBracket},
      {Qt::Key_Asterisk, Qt::ShiftModifier, '8'},
      {Qt::Key_MediaPlay, none, 0},
  };
  for (const KeyCase& c : cases) {
    EXPECT_EQ(window::VirtualKeyOf(c.qtKey, c.modifiers), c.expected) << "Qt key 0x" << std::hex << c.qtKey;
  }
}

}  // namespace
